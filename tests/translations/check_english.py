#!/usr/bin/env python3
"""Fails when a German text of the forms or a tr() string has no finished English text.

    check_english.py LUPDATE SOURCE... CATALOGUE

lupdate collects the texts of the SOURCE folders and files into a copy of CATALOGUE (the catalogue itself is
left alone), so that a text added to a form without running `update_translations` counts as
missing too. Every text then needs a finished English translation. A text that stays German
on purpose (a product name, a report text, a word that is the same in English) carries the
German as its translation and the translator comment "stays German" (Linguist: "Translator
comments"); a translation equal to the German without that comment is taken for a forgotten
text, and the comment on a text that has an English of its own for a stale one.
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

STAYS_GERMAN = "stays German"


def problems(catalogue):
    for context in ET.parse(catalogue).getroot().iter("context"):
        name = context.find("name").text
        for message in context.iter("message"):
            translation = message.find("translation")
            if translation.get("type") in ("obsolete", "vanished"):
                continue
            source = message.find("source").text or ""
            english = translation.text or ""
            comment = message.findtext("translatorcomment") or ""
            marked = comment.startswith(STAYS_GERMAN)
            if translation.get("type") == "unfinished" or not english:
                yield name, source, "no English"
            elif english == source and not marked:
                yield name, source, f'English equal to the German, not marked "{STAYS_GERMAN}"'
            elif english != source and marked:
                yield name, source, f'marked "{STAYS_GERMAN}" but translated as {english!r}'


def main(lupdate, *arguments):
    *sources, catalogue = arguments
    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, os.path.basename(catalogue))
        with open(catalogue, "rb") as f, open(copy, "wb") as g:
            g.write(f.read())
        subprocess.run([lupdate, "-silent", "-source-language", "de_DE", "-target-language",
                        "en_GB", "-locations", "none", *sources, "-ts", copy], check=True)
        found = list(problems(copy))
    for context, source, what in found:
        print(f"{context}: {source!r}: {what}")
    if found:
        print(f"\n{len(found)} text(s) without English. Run `cmake --build <build dir> --target "
              "update_translations`, then write the English into translations/qev_en.ts "
              f"(Linguist or by hand), or mark a text that stays German (README).")
        return 1
    print("every text has its English")
    return 0


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
