#!/usr/bin/env python3
"""Writes the Debian changelog from NEWS.md:
news_changelog.py NEWS.md PACKAGE VERSION MAINTAINER OUT

Each '## VERSION (YYYY-MM-DD)' section is one entry, its '- ' items (continued on indented
lines) the entry's lines, wrapped for Debian's 80 columns. Unreleased sections are left
out. The newest entry must be VERSION, so the package never carries a changelog that
stops short of it.
"""
import datetime
import re
import sys
import textwrap

HEADING = re.compile(r'^## (\S+) \((\d{4}-\d{2}-\d{2})\)\s*$')


def releases(text):
    entries, current = [], None
    for line in text.splitlines():
        if line.startswith('## '):
            m = HEADING.match(line)
            current = (m.group(1), m.group(2), []) if m else None
            if current:
                entries.append(current)
        elif current is not None:
            if line.startswith('- '):
                current[2].append(line[2:].strip())
            elif line.startswith('  ') and current[2]:
                current[2][-1] += ' ' + line.strip()
    return entries


def main():
    news, package, version, maintainer, out = sys.argv[1:6]
    with open(news, encoding='utf-8') as f:
        entries = releases(f.read())
    if not entries or entries[0][0] != version:
        sys.exit('%s: the newest release is %s, not %s' %
                 (news, entries[0][0] if entries else 'missing', version))
    parts = []
    for ver, date, items in entries:
        if not items:
            sys.exit('%s: release %s lists no change' % (news, ver))
        day = datetime.datetime.strptime(date, '%Y-%m-%d')
        lines = ['%s (%s) stable; urgency=medium' % (package, ver), '']
        for item in items:
            lines += textwrap.wrap(item, 78, initial_indent='  * ', subsequent_indent='    ',
                                   break_on_hyphens=False, break_long_words=False)
        # Debian wants a time of day; the release date alone is known, so noon UTC.
        lines += ['', ' -- %s  %s' % (maintainer, day.strftime('%a, %d %b %Y 12:00:00 +0000'))]
        parts.append('\n'.join(lines) + '\n')
    with open(out, 'w', encoding='utf-8') as f:
        f.write('\n'.join(parts))


if __name__ == '__main__':
    main()
