/* Times commands round-robin: every round runs each command once, in a new
 * shuffled order, so that load on a shared machine falls on all of them
 * alike. Then runs each once more under ptrace, untimed, to count its page
 * faults after exec and read its peak memory (VmHWM) as it exits: a
 * child's own rusage would count the image it was forked from.
 *   timer ROUNDS NAME=COMMAND...    (the first two are the references)
 * COMMAND is split at blanks; its output goes to /dev/null. Prints one line
 * per command: name, median wall and CPU time (us), the medians of the
 * per-round CPU ratios to the first and to the second command, faults after
 * exec, peak kB. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ptrace.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

enum { kMax = 16, kArgs = 16 };
static char *names[kMax], *argvs[kMax][kArgs];

static int cmp(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

/* The median of n values, left in their order. */
static double median(const double *v, int n)
{
    static double s[1 << 16];
    if (n > (int)(sizeof s / sizeof *s)) n = (int)(sizeof s / sizeof *s);
    memcpy(s, v, (size_t)n * sizeof *s);
    qsort(s, (size_t)n, sizeof *s, cmp);
    return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
}

static double now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

/* One timed run: wall and CPU time (user and system) in microseconds. */
static void run(int c, double *wall, double *cpu)
{
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    double t0 = now();
    pid_t pid;
    if (posix_spawn(&pid, argvs[c][0], &fa, NULL, argvs[c], environ) != 0) {
        perror(argvs[c][0]);
        exit(1);
    }
    int st;
    struct rusage ru;
    wait4(pid, &st, 0, &ru);
    *wall = now() - t0;
    *cpu = ru.ru_utime.tv_sec * 1e6 + ru.ru_utime.tv_usec + ru.ru_stime.tv_sec * 1e6 + ru.ru_stime.tv_usec;
    posix_spawn_file_actions_destroy(&fa);
}

/* Minor and major faults so far (/proc/PID/stat fields 10 and 12), and
 * VmHWM in kB. */
static void counts(pid_t pid, long *faults, long *hwm)
{
    char path[64], buf[4096];
    snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
    FILE *f = fopen(path, "r");
    size_t n = f ? fread(buf, 1, sizeof buf - 1, f) : 0;
    if (f) fclose(f);
    buf[n] = '\0';
    char *p = strrchr(buf, ')');
    long minflt = 0, majflt = 0;
    if (p) sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %ld %*u %ld", &minflt, &majflt);
    *faults = minflt + majflt;
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    f = fopen(path, "r");
    *hwm = -1;
    while (f && fgets(buf, sizeof buf, f))
        if (sscanf(buf, "VmHWM: %ld", hwm) == 1) break;
    if (f) fclose(f);
}

/* Faults from exec to exit, and peak memory, of one untimed run. */
static void traced(int c, long *faults, long *hwm)
{
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        ptrace(PTRACE_TRACEME, 0, NULL, NULL);
        execv(argvs[c][0], argvs[c]);
        _exit(127);
    }
    int st;
    long start = 0, end = 0;
    waitpid(pid, &st, 0); /* stopped by the exec's SIGTRAP */
    counts(pid, &start, hwm);
    ptrace(PTRACE_SETOPTIONS, pid, NULL, (void *)PTRACE_O_TRACEEXIT);
    ptrace(PTRACE_CONT, pid, NULL, NULL);
    while (waitpid(pid, &st, 0) == pid && !WIFEXITED(st) && !WIFSIGNALED(st)) {
        if (st >> 8 == (SIGTRAP | PTRACE_EVENT_EXIT << 8)) counts(pid, &end, hwm);
        ptrace(PTRACE_CONT, pid, NULL, NULL);
    }
    *faults = end - start;
}

int main(int argc, char **argv)
{
    int rounds = argc > 2 ? atoi(argv[1]) : 0, n = argc - 2;
    if (rounds < 1 || n < 2 || n > kMax) {
        fprintf(stderr, "usage: timer ROUNDS NAME=COMMAND...\n");
        return 2;
    }
    for (int c = 0; c < n; ++c) {
        names[c] = argv[c + 2];
        char *cmd = strchr(names[c], '=');
        if (!cmd) return 2;
        *cmd++ = '\0';
        int k = 0;
        for (char *w = strtok(cmd, " "); w && k < kArgs - 1; w = strtok(NULL, " ")) argvs[c][k++] = w;
    }
    double *wall = calloc((size_t)(rounds * n), sizeof *wall);
    double *cpu = calloc((size_t)(rounds * n), sizeof *cpu);
    double *ratio = calloc((size_t)rounds, sizeof *ratio), *ratio2 = calloc((size_t)rounds, sizeof *ratio2);
    int order[kMax];
    unsigned seed = 2463534242u;
    for (int c = 0; c < n; ++c) order[c] = c;
    for (int r = -rounds / 10; r < rounds; ++r) { /* a tenth more to warm up */
        for (int i = n - 1; i > 0; --i) {
            seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
            int j = (int)(seed % (unsigned)(i + 1)), t = order[i];
            order[i] = order[j], order[j] = t;
        }
        for (int i = 0; i < n; ++i) {
            double w, u;
            run(order[i], &w, &u);
            if (r >= 0) wall[order[i] * rounds + r] = w, cpu[order[i] * rounds + r] = u;
        }
    }
    for (int c = 0; c < n; ++c) {
        for (int r = 0; r < rounds; ++r) {
            ratio[r] = cpu[c * rounds + r] / (cpu[r] > 0 ? cpu[r] : 1);
            ratio2[r] = cpu[c * rounds + r] / (cpu[rounds + r] > 0 ? cpu[rounds + r] : 1);
        }
        long faults, hwm;
        traced(c, &faults, &hwm);
        printf("%s %.0f %.0f %.2f %.2f %ld %ld\n", names[c], median(wall + c * rounds, rounds),
               median(cpu + c * rounds, rounds), median(ratio, rounds), median(ratio2, rounds), faults, hwm);
    }
    return 0;
}
