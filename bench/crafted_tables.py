#!/usr/bin/env python3
"""Reading crafted bank tables (a measurement, not a test): for each way of making a
table costly to read (many nodes, long values, entity text, nesting, declared
defaults, encodings the program converts), the largest such table of at most 16 MiB
that the program accepts. `Kavro /blink 99` reads each one as every run does and,
finding no Item of that bank, ends at once with one line; the report gives its time
and its peak memory (the process's largest resident set), and the same for a table
of one Item, which is what starting the program costs. Tables the build refuses are
shown as refused, with how long refusing took.

    bench/crafted_tables.py [--windows | --windows64]    (after building the preset)
"""

import subprocess
import time

from build_under_test import PRESET
import harness  # noqa: E402  (found through build_under_test)

CAP = 16 << 20
NODES = 65536
ENTITY_TEXT = 1 << 20
ATTRIBUTES = 256
DEPTH = 257
TIME_BUDGET_S = 1.0
MEMORY_BUDGET_MB = 256


# libxml2 takes at most 10,000,000 characters of text in one piece, and a comment is
# one piece: the tables are filled with comments of a million, a node each.
COMMENT = 1000000
FILLER_NODES = CAP // COMMENT + 1
NODES_LEFT = NODES - FILLER_NODES


def padded(head, body, tail, encoding="ascii", cap=CAP):
    """head + body + comments that fill the table up to the cap + tail."""
    data = (head + body).encode(encoding)
    end = tail.encode(encoding)
    unit = len("x".encode(encoding))
    room = (cap - len(data) - len(end)) // unit
    filler = ""
    while room > 7:
        text = min(room, COMMENT) - 7
        filler += "<!--" + "x" * text + "-->"
        room -= text + 7
    return data + filler.encode(encoding) + end


def items():
    # Each Item is 3 nodes; the values fill the file.
    count = (NODES - 1) // 3
    value = "7" * ((CAP - 64) // count - len('<Item ID="" Bank="1"/>'))
    return ("<CDLibraryList>" + '<Item ID="%s" Bank="1"/>' % value * count +
            "</CDLibraryList>").encode()


def elements():
    return padded("<CDLibraryList>", "<a/>" * (NODES_LEFT - 1), "</CDLibraryList>")


def text_between():
    # Text between elements is a node of its own that the limit does not count.
    count = NODES - 2
    run = "t" * ((CAP - 64) // count - 4)
    return ("<r>" + ("<a/>" + run) * count + "</r>").encode()


def attributes():
    # One element of the most attributes, each value as long as libxml2 takes a whole
    # start tag (10,000,000 characters).
    value = "v" * (9999000 // ATTRIBUTES - 12)
    attrs = "".join(' a%d="%s"' % (i, value) for i in range(ATTRIBUTES))
    return padded("", "<r%s>" % attrs, "</r>")


def nested():
    # As deep as allowed, each level with as many attributes as the nodes allow.
    per = NODES_LEFT // DEPTH - 1
    attrs = "".join(' a%d="1"' % i for i in range(per))
    return padded("", "<a%s>" % attrs * DEPTH, "</a>" * DEPTH)


def defaults():
    # Declared defaults that each element gets: 256 of them, on as many elements as
    # the nodes allow.
    declared = "".join(" d%d CDATA '%s'" % (i, "v" * 100) for i in range(ATTRIBUTES))
    count = (NODES_LEFT - 1) // (ATTRIBUTES + 1)
    return padded("<!DOCTYPE r [<!ATTLIST i%s>]><r>" % declared, "<i/>" * count, "</r>")


def defaults_with_references():
    # A default made of references to empty entities, which every element gets: each
    # reference is a node of each element.
    count = 100
    entities = "".join('<!ENTITY e%d "">' % n for n in range(count))
    references = "".join("&e%d;" % n for n in range(count))
    return padded('<!DOCTYPE r [%s<!ATTLIST i d CDATA "%s">]><r>' % (entities, references),
                  "<i/>" * ((NODES_LEFT - 1) // (count + 2)), "</r>")


def entity_references():
    # References in content, their text all the entity text there may be.
    count = NODES_LEFT - 1
    entity = "e" * (ENTITY_TEXT // count)
    return padded('<!DOCTYPE r [<!ENTITY e "%s">]><r>' % entity, "&e;" * count, "</r>")


def entity_in_values():
    # References in attribute values, each standing for a long text.
    entity = "1" * (ENTITY_TEXT // 1024)
    return padded('<!DOCTYPE r [<!ENTITY e "%s">]><r>' % entity,
                  '<Item ID="0" Bank="%s"/>' % ("&e;" * 1024), "</r>")


def nested_entities():
    levels = "".join('<!ENTITY e%d "%s">' % (n, ("&e%d;" % (n - 1)) * 4) for n in range(1, 10))
    return padded('<!DOCTYPE r [<!ENTITY e0 "1111">%s]><r>' % levels,
                  '<Item ID="0" Bank="&e9;"/>', "</r>")


def long_text():
    return padded("<r>", "t" * 9999999, "</r>")


def utf16():
    body = '<Item ID="0" Bank="1"/>' * ((NODES_LEFT - 1) // 3)
    return b"\xff\xfe" + padded("<r>", body, "</r>", "utf-16-le", CAP - 2)


def converted(encoding, codec, character):
    def table():
        head = '<?xml version="1.0" encoding="%s"?><r>' % encoding
        count = (NODES - 1) // 2
        each = (CAP - 64) // count
        unit = len(character.encode(codec))
        value = character * ((each - len('<i a=""/>')) // unit)
        return (head + '<i a="%s"/>' % value * count + "</r>").encode(codec)
    return table


TABLES = [
    ("items", items),
    ("elements", elements),
    ("text-between-elements", text_between),
    ("attributes", attributes),
    ("nested", nested),
    ("declared-defaults", defaults),
    ("defaults-of-references", defaults_with_references),
    ("entity-references", entity_references),
    ("entity-in-values", entity_in_values),
    ("nested-entities", nested_entities),
    ("long-text", long_text),
    ("utf-16", utf16),
    ("windows-1252", converted("windows-1252", "cp1252", "\u00e9")),
    ("windows-874", converted("windows-874", "cp874", "\u0e01")),
    ("shift-jis", converted("Shift_JIS", "shift_jis", "\u3042")),
]


def measure(place):
    """Seconds and peak resident megabytes of one run that reads the table, and
    whether it read it."""
    start = time.monotonic()
    done = subprocess.run(["/usr/bin/time", "-f", "%M"] + place.command("Kavro", "/blink", "99"),
                          stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=600)
    seconds = time.monotonic() - start
    peak_kb = int(done.stderr.decode(errors="replace").strip().splitlines()[-1])
    read = b"No device has bank 99" in done.stdout
    return seconds, peak_kb / 1024.0, read


def main():
    print("Reading crafted tables of up to 16 MiB (%s build):" % PRESET)
    with harness.Installation({"devices": "0"}) as place:
        place.write_table((0, 1))
        measure(place)  # a first run warms up the runner
        base_s, base_mb, _ = measure(place)
        print("  %-24s %9s %8.3f s %8.1f MB" % ("one Item", "", base_s, base_mb))
        over = []
        for name, make in TABLES:
            data = make()
            assert len(data) <= CAP, (name, len(data))
            place.write("Kavro.xml", data)
            seconds, mb, read = measure(place)
            verdict = "read" if read else "refused"
            print("  %-24s %9d %8.3f s %8.1f MB  %s" % (name, len(data), seconds, mb, verdict))
            if read and (seconds - base_s > TIME_BUDGET_S or mb > MEMORY_BUDGET_MB):
                over.append(name)
    print("Tables read beyond %.0f s (beyond starting) or %d MB: %s" %
          (TIME_BUDGET_S, MEMORY_BUDGET_MB, ", ".join(over) or "none"))


if __name__ == "__main__":
    main()
