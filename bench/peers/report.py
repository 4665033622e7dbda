"""The table of `make bench-peers`, and where tarvo and a peer disagree on a verdict.

Reads the "RESULT <work> <side> <figure>" lines of every driver (results file) and the
verdict files <work>.<side> (one verdict per input line: "1" valid, "0 <reason>" not).
"""
import collections
import os
import sys

# work, title, unit, larger figure is better, target ratio per peer
WORKS = [
    ("ibans_mixed", "IBAN check, 1M mixed IBANs of 34 countries, 1 in 10 broken", "ns", False,
     {"ktoblzcheck": 25, "ibantools": 30}),
    ("ibans_de", "IBAN check, 1M German IBANs (directory + account method), 1 in 10 broken", "ns", False, {}),
    ("accounts", "German account check for a bank code, 1M random accounts", "ns", False, {"ktoblzcheck": 4}),
    ("pain008", "pain.008 with 10 000 transactions, tarvo_add + tarvo_toXML", "us/tx", False, {"sepa": 30}),
    ("pain001", "pain.001 with 10 000 transactions, tarvo_add + tarvo_toXML", "us/tx", False, {"sepa": 30}),
    ("mt940", "MT940, 50 MB, full German :86: in every transaction", "MB/s", True, {"mt940js": 40}),
]

PEER_NAMES = {
    "ktoblzcheck": {"accounts": "ktoblzcheck AccountNumberCheck::check"},
    "ibantools": {},
    "stdnum": {},
    "sepa": {},
    "mt940js": {},
}

# ktoblzcheck's IbanCheck::Result codes
KTOBLZCHECK_IBAN = {"1": "too short", "2": "prefix not found", "3": "wrong length", "4": "country not found",
                    "5": "wrong country", "6": "bad checksum"}


def read_results(path):
    """The best figure of each work and side, as a side may have run more than once."""
    larger_better = {work: larger for work, _, _, larger, _ in WORKS}
    figures = {}
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 4 and parts[0] == "RESULT":
                key, value = (parts[1], parts[2]), float(parts[3])
                if key in figures:
                    value = max(value, figures[key]) if larger_better.get(key[0]) else min(value, figures[key])
                figures[key] = value
    return figures


def peer_label(peer, work):
    if peer == "ktoblzcheck" and work != "accounts":
        return "ktoblzcheck IbanCheck::check"
    if peer == "stdnum":
        return "python-stdnum iban.is_valid (first 100 000)"
    return PEER_NAMES.get(peer, {}).get(work, peer)


def table(figures):
    print("Figures are CPU time per item (the best of a few passes), or MB per CPU second;")
    print("the ratio is how many times faster tarvo is on the same input.\n")
    rows = [("work", "peer", "peer figure", "tarvo figure", "ratio", "target")]
    for work, title, unit, larger_better, targets in WORKS:
        ours = figures.get((work, "tarvo"))
        for (w, side), theirs in sorted(figures.items()):
            if w != work or side == "tarvo":
                continue
            ratio = "-"
            verdict = ""
            if ours:
                r = ours / theirs if larger_better else theirs / ours
                ratio = f"{r:.1f}x"
                if side in targets:
                    verdict = f">={targets[side]}x " + ("met" if r >= targets[side] else "MISSED")
            rows.append((title, peer_label(side, work), f"{theirs:.4g} {unit}",
                         f"{ours:.4g} {unit}" if ours else "-", ratio, verdict))
        if work == "ibans_de" and ours:
            rows.append((title, "(absolute target)", "", f"{ours:.4g} {unit}", "",
                         "<=80 ns " + ("met" if ours <= 80 else "MISSED")))
    widths = [max(len(r[i]) for r in rows) for i in range(len(rows[0]))]
    for n, r in enumerate(rows):
        print("| " + " | ".join(c.ljust(widths[i]) for i, c in enumerate(r)) + " |")
        if n == 0:
            print("|" + "|".join("-" * (w + 2) for w in widths) + "|")


def read_lines(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return [line.rstrip("\n") for line in f]


def describe(side, work, verdict):
    if verdict == "1":
        return "valid"
    reason = verdict[2:]
    if reason == "not checkable":  # tarvo's result 0: the method has no check digit here
        return "not checkable (0)"
    if side == "ktoblzcheck" and work != "accounts":
        reason = KTOBLZCHECK_IBAN.get(reason, reason)
    return "refused" + (f" ({reason})" if reason else "")


def disagreements(inputs, verdicts):
    for work, title, _, _, _ in WORKS[:3]:
        ours_path = os.path.join(verdicts, f"{work}.tarvo")
        if not os.path.exists(ours_path):
            continue
        items = read_lines(os.path.join(inputs, f"{work}.txt"))
        ours = read_lines(ours_path)
        for peer in ("ktoblzcheck", "ibantools", "stdnum"):
            path = os.path.join(verdicts, f"{work}.{peer}")
            if not os.path.exists(path):
                continue
            theirs = read_lines(path)
            classes = collections.OrderedDict()
            for item, a, b in zip(items, ours, theirs):
                where = item[:2].upper()
                if work == "accounts":
                    a, method = a.rsplit(" method ", 1)
                    where = "method " + method
                if (a == "1") == (b == "1"):
                    continue
                key = (describe("tarvo", work, a), describe(peer, work, b))
                c = classes.setdefault(key, {"count": 0, "where": collections.Counter(), "example": item})
                c["count"] += 1
                c["where"][where] += 1
            compared = min(len(ours), len(theirs))
            total = sum(c["count"] for c in classes.values())
            print(f"\n{title}: tarvo vs {peer_label(peer, work)}: {total} of {compared} verdicts differ")
            for (a, b), c in sorted(classes.items(), key=lambda kv: -kv[1]["count"]):
                where = ", ".join(f"{w} {n}" for w, n in c["where"].most_common(8))
                more = "" if len(c["where"]) <= 8 else f", ... ({len(c['where'])} in all)"
                print(f"  {c['count']:>7}  tarvo {a}; {peer} {b}  [{where}{more}]  e.g. {c['example']}")


def main(results, inputs, verdicts):
    figures = read_results(results)
    table(figures)
    disagreements(inputs, verdicts)


if __name__ == "__main__":
    main(*sys.argv[1:4])
