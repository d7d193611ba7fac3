/* The limit of a process: what any program that reports a JFIF density must
 * do (open the file, read its first 30 bytes, write one line, exit), with no
 * C library at all. Raw system calls, x86-64 Linux.
 *   gcc -O2 -static -nostdlib -fno-pie -no-pie -fno-stack-protector limit.c
 * and hardened, as bench/run.sh also builds it:
 *   gcc -O2 -static-pie -nostdlib -fPIE -fno-stack-protector -Wl,-z,relro,-z,now limit.c */
enum { SYS_read = 0, SYS_write = 1, SYS_open = 2, SYS_exit_group = 231 };

static long sys(long n, long a, long b, long c)
{
    long r;
    __asm__ volatile("syscall" : "=a"(r) : "a"(n), "D"(a), "S"(b), "d"(c) : "rcx", "r11", "memory");
    return r;
}

static char *number(char *o, unsigned v)
{
    char d[10];
    int k = 0;
    do d[k++] = (char)('0' + v % 10); while ((v /= 10) != 0);
    while (k > 0) *o++ = d[--k];
    return o;
}

/* The kernel starts a program with argc, then argv, on the stack. */
__asm__(".globl _start\n_start:\n\tmov %rsp, %rdi\n\tand $-16, %rsp\n\tcall begin\n\thlt\n");

__attribute__((used, noreturn)) void begin(long *sp)
{
    unsigned char b[30];
    char line[64], *o = line;
    long fd = sp[0] == 2 ? sys(SYS_open, sp[2], 0, 0) : -1;
    int ok = fd >= 0 && sys(SYS_read, fd, (long)b, sizeof b) == (long)sizeof b;
    if (ok) {
        const char *a = "x= ", *m = " DPI, y= ", *e = " DPI\n";
        while (*a) *o++ = *a++;
        o = number(o, (unsigned)(b[14] << 8 | b[15]));
        while (*m) *o++ = *m++;
        o = number(o, (unsigned)(b[16] << 8 | b[17]));
        while (*e) *o++ = *e++;
        sys(SYS_write, 1, (long)line, o - line);
    }
    sys(SYS_exit_group, !ok, 0, 0);
    for (;;) {}
}
