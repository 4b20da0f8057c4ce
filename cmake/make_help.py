#!/usr/bin/python3
"""Builds Help.chm, the window's Help, from the user sections of README.md and
README.ru.md: a start page in both languages, then one page per section.

    cmake/make_help.py SOURCE_DIR OUTPUT.chm

Debian's python3-markdown turns the Markdown into HTML and chmcmd (fp-utils)
compiles the pages; both run at build time, so nothing generated is committed.
"""
import html
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile

import markdown

# Each README, its folder in the help, and its sections in order: the heading
# (empty for the text above the first one) and the page it becomes. The
# platforms and the links to the developers' docs are left out.
GUIDES = [
    ("README.md", "en", "English", [
        ("", "index"),
        ("Two commands", "commands"),
        ("A typical session", "session"),
        ("Command line", "cli"),
        ("Your firmware is safe", "safety"),
    ]),
    ("README.ru.md", "ru", "Русский", [
        ("", "index"),
        ("Две команды", "commands"),
        ("Как работать", "session"),
        ("Командная строка", "cli"),
        ("Ваша прошивка в безопасности", "safety"),
    ]),
]

# The text above the first section, by the name it has in the contents.
INTRO = {"en": "What timingcalc is", "ru": "Что это за программа"}

# The help viewer reads the contents in the code page of the help's language:
# Russian, so that the Cyrillic names of the contents show.
LANGUAGE = "0x419 Russian"
CONTENTS_ENCODING = "cp1251"

PAGE = """<!DOCTYPE html>
<html><head><meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title>{title}</title>
<style>body {{ font-family: sans-serif; max-width: 50em; }} img {{ max-width: 100%; }}
pre {{ background: #f4f4f4; padding: 0.5em; }}</style>
</head><body>
{body}
</body></html>
"""

LINK = re.compile(r"(!?)\[([^\]]*)\]\(([^)\s]+)\)")
README_LINK = re.compile(r"\[[^\]]*\]\(README[.\w]*\.md\)")


def sections(text):
    """The README's sections by heading; the text above the first "## " under ""."""
    found = {}
    heading = ""
    lines = []
    for line in text.splitlines():
        if line.startswith("## "):
            found[heading] = lines
            heading, lines = line[3:].strip(), [line]
        else:
            lines.append(line)
    found[heading] = lines
    return {name: "\n".join(body) for name, body in found.items()}


def local_markdown(text, images):
    """Links to other files become their text, for the help has only these pages;
    images are kept and gathered, by their file name."""
    def replace(match):
        image, label, target = match.groups()
        if image:
            images.add(target)
            return f"![{label}]({pathlib.PurePosixPath(target).name})"
        if target.startswith(("http://", "https://", "#")):
            return match.group(0)
        return label
    # The other language's README is the help's other half, found from its start page.
    text = "\n".join(line for line in text.splitlines() if not README_LINK.fullmatch(line.strip()))
    return LINK.sub(replace, text)


def title_of(body):
    for line in body.splitlines():
        if line.startswith("#"):
            return line.lstrip("#").strip()
    raise SystemExit("make_help: a section without a heading")


def sitemap_entry(name, local):
    return (f'<LI><OBJECT type="text/sitemap"><param name="Name" value="{html.escape(name)}">'
            f'<param name="Local" value="{local}"></OBJECT>\n')


def build(source, work):
    images = set()
    pages = []  # the path of each page in the help
    contents = ""
    start = ""
    for readme, folder, language, wanted in GUIDES:
        found = sections((source / readme).read_text(encoding="utf-8"))
        (work / folder).mkdir()
        contents += sitemap_entry(language, f"{folder}/index.html") + "<UL>\n"
        start += f"<h2>{language}</h2>\n<ul>\n"
        for heading, page in wanted:
            if heading not in found:
                raise SystemExit(f"make_help: {readme} has no section \"{heading}\"")
            body = local_markdown(found[heading], images)
            title = title_of(body) if heading else INTRO[folder]
            path = f"{folder}/{page}.html"
            converted = markdown.markdown(body, extensions=["tables"])
            # The images lie at the top of the help, beside the start page.
            converted = converted.replace('<img src="', '<img src="../')
            back = '<p><a href="../index.html">timingcalc</a></p>\n'
            (work / path).write_text(PAGE.format(title=html.escape(title), body=back + converted), encoding="utf-8")
            pages.append(path)
            if heading:
                contents += sitemap_entry(title, path)
            start += f'<li><a href="{path}">{html.escape(title)}</a></li>\n'
        contents += "</UL>\n"
        start += "</ul>\n"

    for image in sorted(images):
        shutil.copy(source / image, work / pathlib.PurePosixPath(image).name)
    (work / "index.html").write_text(PAGE.format(title="timingcalc", body="<h1>timingcalc</h1>\n" + start),
                                     encoding="utf-8")
    (work / "toc.hhc").write_text(
        '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML><HEAD></HEAD><BODY>\n<UL>\n'
        + contents + "</UL>\n</BODY></HTML>\n", encoding=CONTENTS_ENCODING)
    files = ["index.html", *pages, *sorted(pathlib.PurePosixPath(i).name for i in images)]
    (work / "Help.hhp").write_text(
        "[OPTIONS]\nCompiled file=Help.chm\nContents file=toc.hhc\nDefault topic=index.html\n"
        f"Full-text search=Yes\nLanguage={LANGUAGE}\nTitle=timingcalc\n\n[FILES]\n" + "\n".join(files) + "\n",
        encoding=CONTENTS_ENCODING)


def main():
    if len(sys.argv) != 3:
        raise SystemExit("usage: make_help.py SOURCE_DIR OUTPUT.chm")
    source, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    with tempfile.TemporaryDirectory() as folder:
        work = pathlib.Path(folder)
        build(source, work)
        run = subprocess.run(["chmcmd", "--no-html-scan", "Help.hhp"], cwd=work, capture_output=True, text=True)
        if run.returncode != 0 or not (work / "Help.chm").is_file():
            sys.stderr.write(run.stdout + run.stderr)
            raise SystemExit("make_help: chmcmd failed")
        shutil.copy(work / "Help.chm", output)


if __name__ == "__main__":
    main()
