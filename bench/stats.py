"""Summaries for bench/run.sh: medians and ratios of the timings it collects."""
import statistics
import sys


def ms(us):
    return f"{us / 1000:.2f} ms"


def ratio(title):
    pairs = [tuple(map(float, line.split())) for line in sys.stdin if line.strip()]
    ratios = [a / b for a, b in pairs]
    print(f"{title}: median ratio {statistics.median(ratios):.2f}, min {min(ratios):.2f} "
          f"({ms(statistics.median(a for a, _ in pairs))} against "
          f"{ms(statistics.median(b for _, b in pairs))}, {len(pairs)} rounds)")


def machines():
    runs = {}
    for line in sys.stdin:
        disks, us, rss, status = line.split()
        runs.setdefault(int(disks), []).append((float(us), int(rss), int(status)))
    sizes = sorted(runs)
    medians = {n: statistics.median(us for us, _, _ in runs[n]) for n in sizes}
    for n in sizes:
        peak = max(rss for _, rss, _ in runs[n])
        status = sorted({s for _, _, s in runs[n]})
        print(f"{n:3d} disks: median {ms(medians[n])}, peak memory {peak / 1024:.1f} MiB, "
              f"exit status {status}")
    # Least-squares line through the medians: fixed cost plus cost per disk.
    mean_n = statistics.mean(sizes)
    mean_t = statistics.mean(medians[n] for n in sizes)
    slope = sum((n - mean_n) * (medians[n] - mean_t) for n in sizes) / sum(
        (n - mean_n) ** 2 for n in sizes)
    print(f"fixed cost {ms(mean_t - slope * mean_n)}, per disk {ms(slope)}; "
          f"64 disks / 1 disk = {medians[sizes[-1]] / medians[sizes[0]]:.2f}")


def guest():
    rounds, dw, sc = [], None, 0.0
    status = {"dw": set(), "sc": set()}
    for line in sys.stdin:
        word, *rest = line.split()
        if word in status and len(rest) > 2:
            status[word].add(int(rest[2]))
        if word == "dw":
            dw = float(rest[0])
        elif word == "sc":
            sc += float(rest[0])
        elif word == "end":
            rounds.append((dw, sc))
            dw, sc = None, 0.0
    if not rounds:
        sys.exit("bench: the guest gave no timings")
    ratios = [a / b for a, b in rounds]
    print(f"drivewatch --json / smartctl -a over the same disks: median ratio "
          f"{statistics.median(ratios):.2f}, min {min(ratios):.2f} "
          f"({ms(statistics.median(a for a, _ in rounds))} against "
          f"{ms(statistics.median(b for _, b in rounds))}, {len(rounds)} rounds)")
    # smartctl sets status bits for a log QEMU does not keep; a drivewatch
    # status other than 0 means the run measured something else than a read.
    print(f"exit status: drivewatch {sorted(status['dw'])}, smartctl {sorted(status['sc'])}")


if __name__ == "__main__":
    kind = sys.argv[1]
    if kind == "ratio":
        ratio(sys.argv[2])
    elif kind == "machines":
        machines()
    elif kind == "guest":
        guest()
