#!/usr/bin/env python3
"""Validate the shipped question bank in data/questions/*.tsv.

Checks: header line, six TAB-separated fields, no empty or padded field,
answer format (one letter A-D for muc1..3, a permutation of ABCD other than
"ABCD" for thuthach), NFC normalisation, the character set that the legacy
VNI encoding can store, text lengths, duplicate questions (across all files)
and duplicate answers inside a question, minimum counts and the spread of
right answers.  Prints counts; exits 1 on any problem.

Usage: check_questions.py [DIR]   (default: data/questions next to tools/)
"""

import collections
import os
import sys
import unicodedata

HEADER = ["cauhoi", "A", "B", "C", "D", "traloi"]
LEVEL_FILES = ["muc1.tsv", "muc2.tsv", "muc3.tsv"]
ORDER_FILE = "thuthach.tsv"
MIN_COUNT = {"muc1.tsv": 45, "muc2.tsv": 45, "muc3.tsv": 45, "thuthach.tsv": 24}
MAX_QUESTION = 160
MAX_ANSWER = 42
MAX_ORDER_ITEM = 30
# Each letter must hold at least this share of the right answers in a level file.
MIN_SHARE = 0.18
MAX_SHARE = 0.32


def vni_letters():
    """The 134 precomposed Vietnamese letters plus nothing else."""
    letters = set()
    tones = ["", "\u0300", "\u0301", "\u0303", "\u0309", "\u0323"]
    for base in "aăâeêioôơuưy":
        for tone in tones:
            ch = unicodedata.normalize("NFC", base + tone)
            assert len(ch) == 1, (base, tone)
            letters.add(ch)
            letters.add(ch.upper())
    letters.update("đĐ")
    non_ascii = {c for c in letters if ord(c) > 0x7E}
    assert len(non_ascii) == 134, len(non_ascii)
    return non_ascii


ALLOWED = {chr(c) for c in range(0x20, 0x7F)} | vni_letters()


def norm_key(text):
    """Key used to spot the same question written twice."""
    t = unicodedata.normalize("NFC", text).lower()
    t = "".join(c for c in t if c.isalnum() or c == " ")
    return " ".join(t.split())


class Checker:
    def __init__(self):
        self.problems = []
        self.seen = {}  # question key -> "file:line"

    def error(self, where, msg):
        self.problems.append(f"{where}: {msg}")

    def check_text(self, where, name, text, limit):
        if text == "":
            self.error(where, f"{name} is empty")
            return
        if text != text.strip() or "  " in text:
            self.error(where, f"{name} has stray spaces: {text!r}")
        if unicodedata.normalize("NFC", text) != text:
            self.error(where, f"{name} is not NFC: {text!r}")
        bad = sorted({c for c in text if c not in ALLOWED})
        if bad:
            shown = ", ".join(f"U+{ord(c):04X} {unicodedata.name(c, '?')}" for c in bad)
            self.error(where, f"{name} has characters VNI cannot store: {shown}")
        if len(text) > limit:
            self.error(where, f"{name} longer than {limit} characters ({len(text)})")

    def check_file(self, path, ordering):
        fname = os.path.basename(path)
        records = []
        try:
            with open(path, "rb") as fh:
                raw = fh.read()
        except OSError as exc:
            self.error(fname, f"cannot read: {exc}")
            return records
        if raw.startswith(b"\xef\xbb\xbf"):
            self.error(fname, "starts with a byte order mark")
        if b"\r" in raw:
            self.error(fname, "has CR characters (use LF line ends)")
        try:
            text = raw.decode("utf-8")
        except UnicodeDecodeError as exc:
            self.error(fname, f"not valid UTF-8: {exc}")
            return records
        lines = text.split("\n")
        if lines and lines[-1] == "":
            lines.pop()
        if not lines or lines[0].split("\t") != HEADER:
            self.error(f"{fname}:1", "header must be " + "<TAB>".join(HEADER))
        for no, line in enumerate(lines[1:], start=2):
            where = f"{fname}:{no}"
            if line.startswith("#"):
                continue
            if line.strip() == "":
                self.error(where, "blank line")
                continue
            fields = line.split("\t")
            if len(fields) != 6:
                self.error(where, f"expected 6 TAB-separated fields, found {len(fields)}")
                continue
            q, a, b, c, d, ans = fields
            self.check_text(where, "question", q, MAX_QUESTION)
            limit = MAX_ORDER_ITEM if ordering else MAX_ANSWER
            for letter, item in zip("ABCD", (a, b, c, d)):
                self.check_text(where, f"answer {letter}", item, limit)
            choices = [" ".join(x.lower().split()) for x in (a, b, c, d)]
            if len(set(choices)) != 4:
                self.error(where, "two answers are the same")
            if ordering:
                if len(ans) != 4 or sorted(ans) != list("ABCD"):
                    self.error(where, f"traloi must be a permutation of ABCD, got {ans!r}")
                elif ans == "ABCD":
                    self.error(where, "traloi ABCD: items are already in order")
            elif ans not in ("A", "B", "C", "D"):
                self.error(where, f"traloi must be one letter A-D, got {ans!r}")
            key = norm_key(q)
            if ordering:
                # ordering prompts repeat; the items make the question
                key = key + "|" + "|".join(sorted(choices))
            if key in self.seen:
                self.error(where, f"duplicate question (first at {self.seen[key]})")
            else:
                self.seen[key] = where
            records.append(ans)
        return records

    def run(self, directory):
        report = []
        for fname in LEVEL_FILES + [ORDER_FILE]:
            ordering = fname == ORDER_FILE
            answers = self.check_file(os.path.join(directory, fname), ordering)
            n = len(answers)
            if n < MIN_COUNT[fname]:
                self.error(fname, f"only {n} questions, need at least {MIN_COUNT[fname]}")
            if ordering:
                dist = collections.Counter(answers)
                if n and max(dist.values()) > max(2, n // 6):
                    self.error(fname, f"answer strings too repetitive: {dist.most_common(3)}")
                firsts = collections.Counter(a[:1] for a in answers)
                report.append(f"{fname}: {n} questions, {len(dist)} distinct answer strings, "
                              "first letter " + " ".join(f"{k}={firsts.get(k, 0)}" for k in "ABCD"))
            else:
                dist = collections.Counter(answers)
                for k in "ABCD":
                    share = dist.get(k, 0) / n if n else 0
                    if n and not MIN_SHARE <= share <= MAX_SHARE:
                        self.error(fname, f"answer {k} is {dist.get(k, 0)}/{n} of the right answers")
                report.append(f"{fname}: {n} questions, answers "
                              + " ".join(f"{k}={dist.get(k, 0)}" for k in "ABCD"))
        return report


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    directory = argv[1] if len(argv) > 1 else os.path.join(here, "..", "data", "questions")
    checker = Checker()
    report = checker.run(directory)
    for line in report:
        print(line)
    if checker.problems:
        for p in checker.problems:
            print("ERROR " + p, file=sys.stderr)
        print(f"{len(checker.problems)} problem(s)", file=sys.stderr)
        return 1
    print("OK")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
