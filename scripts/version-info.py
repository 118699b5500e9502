#!/usr/bin/env python3
"""Prints what a Windows program's version resource says, read straight from
the file, so the download can be checked on any machine.

    version-info.py PROGRAM.exe

One `key=value` a line: `FILEVERSION` and `PRODUCTVERSION` from the fixed
part (four numbers joined by dots), then every string of the string table
(ProductName, FileDescription, FileVersion, ...), then `resource-types`, the
numeric types of every resource in the file (3 icon, 5 dialog, 14 icon
group, 16 version, 24 manifest). Exits 1, with a message saying what is
wrong, when the file is not a PE program, holds no version resource, or its
resources are malformed (a length that is zero, too short or beyond its
parent, a key without its terminator, a directory tree that loops).
"""
import struct
import sys

RT_VERSION = 16


class NotReadable(Exception):
    pass


def u16(data, offset):
    return struct.unpack_from("<H", data, offset)[0]


def u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def sections_of(data):
    """The PE sections as (virtual address, virtual size, file offset, file
    size), and the resource directory's virtual address."""
    if data[:2] != b"MZ":
        raise NotReadable("not a program (no MZ header)")
    pe = u32(data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise NotReadable("not a PE program")
    section_count = u16(data, pe + 6)
    optional_size = u16(data, pe + 20)
    optional = pe + 24
    # PE32+ (64-bit) data directories start 16 bytes later than PE32's; the
    # resource directory is entry 2.
    directories = optional + (112 if u16(data, optional) == 0x20B else 96)
    resource_rva = u32(data, directories + 2 * 8)
    sections = []
    for index in range(section_count):
        header = optional + optional_size + 40 * index
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", data, header + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_offset, raw_size))
    return sections, resource_rva


def file_offset(sections, rva):
    for virtual_address, size, raw_offset, _ in sections:
        if virtual_address <= rva < virtual_address + size:
            return raw_offset + rva - virtual_address
    raise NotReadable(f"address {rva:#x} lies in no section")


def directory_entries(data, offset):
    """The (id or name offset, target, is subdirectory) entries of one
    resource directory table."""
    if offset < 0 or offset + 16 > len(data):
        raise NotReadable(f"resource directory at {offset:#x} lies outside the file")
    named, numbered = u16(data, offset + 12), u16(data, offset + 14)
    for index in range(named + numbered):
        name, target = struct.unpack_from("<II", data, offset + 16 + 8 * index)
        yield name, target & 0x7FFFFFFF, bool(target & 0x80000000)


# A resource's data entry sits under its type, name and language
# directories: three levels below the root, never more.
RESOURCE_LEVELS = 3


def resources(data):
    """The resource types present and the bytes of the first version
    resource (None when there is none)."""
    sections, resource_rva = sections_of(data)
    if resource_rva == 0:
        return [], None
    root = file_offset(sections, resource_rva)
    types, version = [], None
    for type_id, target, is_directory in directory_entries(data, root):
        types.append(type_id)
        if type_id != RT_VERSION or not is_directory or version is not None:
            continue
        # type -> name -> language -> data entry; a tree deeper than that
        # (a directory naming itself, say) is not walked for ever.
        node, levels = target, 1
        while is_directory:
            if levels == RESOURCE_LEVELS:
                raise NotReadable("the version resource's directories nest too deep")
            _, node, is_directory = next(directory_entries(data, root + node))
            levels += 1
        if levels != RESOURCE_LEVELS:
            raise NotReadable("the version resource's directories stop short of its data")
        data_rva, size = struct.unpack_from("<II", data, root + node)
        start = file_offset(sections, data_rva)
        if start + size > len(data):
            raise NotReadable(f"the version resource's {size} bytes run past the end of the file")
        version = data[start:start + size]
    return types, version


def align4(offset):
    return (offset + 3) & ~3


# A node's header: its length, its value's length, and whether the value is
# text (three 16-bit words).
NODE_HEADER = 6


def version_block(block, offset, limit):
    """One node of the version resource, at `offset` in `block`, which must
    end by `limit` (its parent's end): its key, whether its value is text,
    its value bytes, its children, and where it ends. Every length is
    checked against the node's room before it is followed, so a malformed
    resource stops with NotReadable instead of being read past its end or
    walked in place for ever."""
    if offset + NODE_HEADER > limit:
        raise NotReadable(f"version block at {offset:#x} has no room for its header")
    length, value_length, is_text = struct.unpack_from("<HHH", block, offset)
    if length < NODE_HEADER + 2:
        raise NotReadable(f"version block at {offset:#x} has length {length}, too short to hold a key")
    end = offset + length
    if end > limit:
        raise NotReadable(f"version block at {offset:#x} has length {length}, "
                          f"{end - limit} byte(s) beyond the block that holds it")
    key_start = offset + NODE_HEADER
    key_end = key_start
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end + 2 > end:
            raise NotReadable(f"version block at {offset:#x} has a key with no terminator")
    key = block[key_start:key_end].decode("utf-16-le")
    value_start = align4(key_end + 2)
    value_size = value_length * 2 if is_text else value_length
    if value_start + value_size > end:
        raise NotReadable(f"version block '{key}' has a {value_size}-byte value that runs past its end")
    value = block[value_start:value_start + value_size]
    children = []
    child = align4(value_start + value_size)
    # Each child takes at least a header and a key, so the walk moves on.
    while child < end:
        node = version_block(block, child, end)
        children.append(node)
        child = align4(node[4])
    return key, bool(is_text), value, children, end


def version_fields(block):
    key, _, fixed, children, _ = version_block(block, 0, len(block))
    if key != "VS_VERSION_INFO" or len(fixed) < 52 or u32(fixed, 0) != 0xFEEF04BD:
        raise NotReadable("the version resource is malformed")

    def four(most, least):
        return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}"

    fields = [("FILEVERSION", four(u32(fixed, 8), u32(fixed, 12))),
              ("PRODUCTVERSION", four(u32(fixed, 16), u32(fixed, 20)))]
    for child_key, _, _, tables, _ in children:
        if child_key != "StringFileInfo":
            continue
        for _, _, _, strings, _ in tables:
            for name, _, value, _, _ in strings:
                fields.append((name, value.decode("utf-16-le").rstrip("\0")))
    return fields


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: version-info.py PROGRAM.exe")
    try:
        with open(sys.argv[1], "rb") as program:
            data = program.read()
        types, block = resources(data)
        if block is None:
            raise NotReadable("no version resource")
        fields = version_fields(block)
    except (OSError, NotReadable, struct.error, StopIteration, UnicodeDecodeError) as error:
        print(f"version-info.py: {sys.argv[1]}: {error}", file=sys.stderr)
        return 1
    for name, value in fields:
        print(f"{name}={value}")
    print("resource-types=" + " ".join(str(t) for t in sorted(types)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
