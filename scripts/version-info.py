#!/usr/bin/env python3
"""Prints what a Windows program's version resource says, read straight from
the file, so the download can be checked on any machine.

    version-info.py PROGRAM.exe

One `key=value` a line: `FILEVERSION` and `PRODUCTVERSION` from the fixed
part (four numbers joined by dots), then every string of the string table
(ProductName, FileDescription, FileVersion, ...), then `resource-types`, the
numeric types of every resource in the file (3 icon, 5 dialog, 14 icon
group, 16 version, 24 manifest). Exits 1 when the file is not a PE program or
holds no version resource.
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
    named, numbered = u16(data, offset + 12), u16(data, offset + 14)
    for index in range(named + numbered):
        name, target = struct.unpack_from("<II", data, offset + 16 + 8 * index)
        yield name, target & 0x7FFFFFFF, bool(target & 0x80000000)


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
        # type -> name -> language -> data entry
        node, is_directory = target, True
        while is_directory:
            _, node, is_directory = next(directory_entries(data, root + node))
        data_rva, size = struct.unpack_from("<II", data, root + node)
        start = file_offset(sections, data_rva)
        version = data[start:start + size]
    return types, version


def align4(offset):
    return (offset + 3) & ~3


def version_block(block, offset):
    """One node of the version resource, at `offset` in `block`: its key,
    whether its value is text, its value bytes, its children, and where it
    ends."""
    length, value_length, is_text = struct.unpack_from("<HHH", block, offset)
    end = offset + length
    key_start = offset + 6
    key_end = key_start
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[key_start:key_end].decode("utf-16-le")
    value_start = align4(key_end + 2)
    value_size = value_length * 2 if is_text else value_length
    value = block[value_start:value_start + value_size]
    children = []
    child = align4(value_start + value_size)
    while child < end:
        node = version_block(block, child)
        children.append(node)
        child = align4(node[4])
    return key, bool(is_text), value, children, end


def version_fields(block):
    key, _, fixed, children, _ = version_block(block, 0)
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
