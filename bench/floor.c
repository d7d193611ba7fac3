/* The floor: the least a libc program does to report a JFIF density. */
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    unsigned char b[30];
    int fd = argc == 2 ? open(argv[1], O_RDONLY) : -1;

    if (fd < 0 || read(fd, b, sizeof b) != (ssize_t)sizeof b) {
        printf("File %s - not found.\n", argc == 2 ? argv[1] : "");
        return 1;
    }
    printf("x= %d DPI, y= %d DPI\n", b[14] << 8 | b[15], b[16] << 8 | b[17]);
    return 0;
}
