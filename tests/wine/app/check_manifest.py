#!/usr/bin/env python3
"""Reads the manifest embedded in Windows programs (the RT_MANIFEST resource) and their PE
machine type, and fails when the two disagree: the program's own assemblyIdentity must name
its machine, and every dependency must name '*' or that same machine. A 64-bit program that
names x86 binds the 32-bit side-by-side assemblies wherever they are installed and does not
start. Reads the files only, so it judges both builds on any host.

Usage: check_manifest.py [--require] EXE...
  --require  a program without an embedded manifest fails (the GUI program needs one for the
             version 6 Common Controls); otherwise it is reported and passes.
"""
import struct
import sys
import xml.etree.ElementTree as ET

MACHINES = {0x014C: "x86", 0x8664: "amd64", 0xAA64: "arm64"}
RT_MANIFEST = 24
ASM = "{urn:schemas-microsoft-com:asm.v1}"


class PeError(Exception):
    pass


def read_pe(data):
    """Returns (machine, [manifest bytes...]) of a PE image."""
    if data[:2] != b"MZ":
        raise PeError("not a PE file (no MZ header)")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeError("not a PE file (no PE signature)")
    machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + {0x10B: 96, 0x20B: 112}.get(magic, -opt)
    if dirs < 0:
        raise PeError("unknown optional header magic 0x%x" % magic)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", data, dirs + 2 * 8)
    table = opt + opt_size
    spans = []
    for i in range(sections):
        vsize, va, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        spans.append((va, max(vsize, raw_size), raw))

    def offset(rva):
        for va, size, raw in spans:
            if va <= rva < va + size:
                return raw + rva - va
        raise PeError("address 0x%x is in no section" % rva)

    if rsrc_rva == 0 or rsrc_size == 0:
        return machine, []
    base = offset(rsrc_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield name, target

    def leaves(target, depth=0):
        if depth > 3:
            raise PeError("resource tree deeper than type/name/language")
        if target & 0x80000000:
            for _, sub in entries(target & 0x7FFFFFFF):
                yield from leaves(sub, depth + 1)
        else:
            rva, size = struct.unpack_from("<II", data, base + target)
            start = offset(rva)
            yield data[start:start + size]

    manifests = []
    for type_id, target in entries(0):
        if type_id == RT_MANIFEST:
            manifests.extend(leaves(target))
    return machine, manifests


def check(path, require):
    """Prints what it found and returns the list of faults."""
    with open(path, "rb") as f:
        machine, manifests = read_pe(f.read())
    arch = MACHINES.get(machine)
    print("%s: machine 0x%04x (%s), %d manifest(s)" % (path, machine, arch, len(manifests)))
    if arch is None:
        return ["unknown machine type 0x%04x" % machine]
    if not manifests:
        return ["no embedded manifest"] if require else []
    faults = []
    for text in manifests:
        root = ET.fromstring(text)
        own = root.find(ASM + "assemblyIdentity")
        own_arch = None if own is None else own.get("processorArchitecture")
        print("  identity: %s processorArchitecture=%s"
              % (None if own is None else own.get("name"), own_arch))
        if own_arch is None or own_arch.lower() != arch:
            faults.append("identity names %s, the program is %s" % (own_arch, arch))
        for dep in root.iter(ASM + "dependentAssembly"):
            ident = dep.find(ASM + "assemblyIdentity")
            if ident is None:
                continue
            dep_arch = ident.get("processorArchitecture")
            print("  dependency: %s processorArchitecture=%s" % (ident.get("name"), dep_arch))
            if dep_arch is not None and dep_arch.lower() not in ("*", arch):
                faults.append("dependency %s names %s, the program is %s"
                              % (ident.get("name"), dep_arch, arch))
    return faults


def main(argv):
    require = "--require" in argv
    paths = [a for a in argv if a != "--require"]
    if not paths:
        print(__doc__)
        return 2
    failed = False
    for path in paths:
        try:
            faults = check(path, require)
        except (OSError, PeError, struct.error, ET.ParseError) as e:
            faults = [str(e)]
        for fault in faults:
            print("FAIL: %s: %s" % (path, fault))
        failed = failed or bool(faults)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
