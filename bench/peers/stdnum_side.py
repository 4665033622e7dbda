"""python-stdnum's IBAN check on the inputs of `make bench-peers` (Debian's python3-stdnum).

Prints "RESULT <work> stdnum <ns per IBAN>" and writes one verdict per input line. Being
some hundred times slower than the others, it reads only the first SAMPLE lines of each
input, so that the whole run stays within minutes.
"""
import os
import sys
import itertools
import time

from stdnum import iban

SAMPLE = 100_000


def main(inputs, verdicts):
    for work in ("ibans_mixed", "ibans_de"):
        with open(os.path.join(inputs, work + ".txt"), encoding="ascii", errors="replace") as f:
            ibans = [line.rstrip("\n") for line in itertools.islice(f, SAMPLE)]
        start = time.process_time()  # CPU time, as the other drivers count
        valid = [iban.is_valid(i) for i in ibans]
        seconds = time.process_time() - start
        with open(os.path.join(verdicts, work + ".stdnum"), "w") as out:
            out.writelines("1\n" if v else "0\n" for v in valid)
        print(f"RESULT {work} stdnum {seconds * 1e9 / len(ibans):.6g}", flush=True)


if __name__ == "__main__":
    main(*sys.argv[1:3])
