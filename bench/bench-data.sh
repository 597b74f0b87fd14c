# Sourced by the benchmarks: their data in DIR, made once and reused.
#   bench_data DIR   DIR/big.bin, 2 GiB of random bytes, and DIR/folder, 1 GiB in 2,000 files of
#                    mixed sizes in 40 subfolders
bench_data() {
    if [ ! -f "$1/big.done" ]; then
        head -c $((2048 * 1024 * 1024)) /dev/urandom >"$1/big.bin"
        touch "$1/big.done"
    fi
    if [ ! -f "$1/folder.done" ]; then
        rm -rf "$1/folder"
        # Log-uniform sizes from 100 bytes to 8 MiB, scaled to 1 GiB in all, in 40 subfolders;
        # the bytes are slices of big.bin.
        /usr/bin/python3 - "$1" <<'PY'
import math, os, random, sys
data = sys.argv[1]
rng = random.Random(1)
count, total = 2000, 1 << 30
sizes = [math.exp(rng.uniform(math.log(100), math.log(8 << 20))) for _ in range(count)]
scale = total / sum(sizes)
sizes = [max(1, int(s * scale)) for s in sizes]
sizes[-1] += total - sum(sizes)
with open(os.path.join(data, "big.bin"), "rb") as src:
    for i, size in enumerate(sizes):
        folder = os.path.join(data, "folder", "part%02d" % (i % 40))
        os.makedirs(folder, exist_ok=True)
        src.seek(rng.randrange(0, (2 << 30) - size))
        with open(os.path.join(folder, "file%04d.bin" % i), "wb") as out:
            out.write(src.read(size))
PY
        touch "$1/folder.done"
    fi
}
