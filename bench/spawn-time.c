/* Runs a command N times and prints, per run, the wall time in microseconds
 * and the peak resident memory in KiB of the command, one line each:
 * "<microseconds> <maxrss-kib> <exit-status>". Standard output of the command
 * goes to /dev/null so that terminal speed is not measured.
 * Usage: spawn-time N COMMAND [ARGS...] */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long long now_us(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (long long)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: spawn-time N COMMAND [ARGS...]\n");
        return 2;
    }
    const int runs = atoi(argv[1]);
    for (int i = 0; i < runs; ++i) {
        const long long start = now_us();
        const pid_t pid = fork();
        if (pid < 0)
            return 2;
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            if (null >= 0)
                dup2(null, 1);
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        int status = 0;
        struct rusage usage;
        if (wait4(pid, &status, 0, &usage) < 0)
            return 2;
        const long long elapsed = now_us() - start;
        printf("%lld %ld %d\n", elapsed, usage.ru_maxrss,
               WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
        fflush(stdout);
    }
    return 0;
}
