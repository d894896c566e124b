#!/usr/bin/python3
"""Whether a catalogue is complete for the sources as they are now.

lupdate brings a copy of the catalogue up to date with the sources, as the build's
`lupdate` target would; then every message must have a finished translation (a text
added or changed in the sources comes in unfinished), none may have vanished, and each
translation must keep its source's placeholders and access keys: the terminal's texts
are printf formats, so a lost or extra conversion would read the wrong argument.

usage: check-catalogue.py LUPDATE SOURCE_DIR CATALOGUE.ts
"""
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

PRINTF = re.compile(r"%(?:%|[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|j|z|t|L)?[diouxXeEfFgGaAcspn])")
QT_ARG = re.compile(r"%(\d{1,2})")


def access_keys(text):
    return len(re.findall(r"&(?!&)", text.replace("&&", "")))


def main():
    lupdate, sources, catalogue = sys.argv[1:4]
    problems = []
    with tempfile.TemporaryDirectory() as tmp:
        copy = f"{tmp}/catalogue.ts"
        shutil.copyfile(catalogue, copy)
        subprocess.run([lupdate, "-silent", "-locations", "none", "-tr-function-alias", "tr+=Tr,QT_TRANSLATE_NOOP+=Word", sources,
                        "-ts", copy], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        root = ET.parse(copy).getroot()
    count = 0
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            count += 1
            source = message.findtext("source") or ""
            translation = message.find("translation")
            text = (translation.text or "") if translation is not None else ""
            kind = translation.get("type") if translation is not None else "missing"
            where = f"{name}: {source!r}"
            if kind in ("vanished", "obsolete"):
                problems.append(f"no longer in the sources: {where}")
                continue
            if kind == "unfinished" or kind == "missing" or not text:
                problems.append(f"not translated: {where}")
                continue
            if name == "Cli" and PRINTF.findall(source) != PRINTF.findall(text):
                problems.append(f"printf conversions differ: {where} -> {text!r}")
            stray = lambda t: "%" in QT_ARG.sub("", PRINTF.sub("", t))  # noqa: E731
            # A format (its source all conversions) must stay one; a text printed as it is
            # (the usage, with its %album% fields) may hold any "%".
            if name == "Cli" and not stray(source) and stray(text):
                problems.append(f"a % that is no conversion: {where} -> {text!r}")
            if sorted(QT_ARG.findall(source)) != sorted(QT_ARG.findall(text)):
                problems.append(f"%1... differ: {where} -> {text!r}")
            if access_keys(source) != access_keys(text):
                problems.append(f"access keys differ: {where} -> {text!r}")
            for end in ("\n", " "):
                if source.endswith(end) != text.endswith(end) or source.startswith(end) != text.startswith(end):
                    problems.append(f"leading or trailing {end!r} differs: {where} -> {text!r}")
    for p in problems:
        print(p)
    print(f"{count} messages, {len(problems)} problems")
    return 1 if problems or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
