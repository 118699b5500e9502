"""Small Windows programs made byte by byte for the script tests: a PE32+
file whose only section holds a resource tree, and the version resource
that tree carries. Nothing in them runs; they hold exactly what the release
scripts read, so each test can build the sound file and then break one
thing in it."""
import struct

VERSION_KEY = "VS_VERSION_INFO"
RT_VERSION = 16
# Where the resource section sits in the file and in memory.
SECTION_FILE_OFFSET = 0x200
SECTION_RVA = 0x1000


def align4(size):
    return (size + 3) & ~3


def pad4(data):
    return data + b"\0" * (align4(len(data)) - len(data))


def version_node(key, value=b"", is_text=False, children=()):
    """One node of a version resource: its header (length, value length,
    text flag), its key, its value and its children, each part starting on
    a 4-byte boundary. A text value is counted in UTF-16 units."""
    node = pad4(b"\0" * 6 + key.encode("utf-16-le") + b"\0\0") + value
    value_length = len(value) // 2 if is_text else len(value)
    for child in children:
        node = pad4(node) + child
    header = struct.pack("<HHH", len(node), value_length, 1 if is_text else 0)
    return header + node[6:]


def text_value(text):
    return (text + "\0").encode("utf-16-le")


def fixed_info(file_version, product_version):
    """The fixed part: its signature, then the two versions as four 16-bit
    numbers each, the rest zero."""
    def halves(numbers):
        a, b, c, d = (list(numbers) + [0, 0, 0, 0])[:4]
        return (a << 16) | b, (c << 16) | d

    return struct.pack("<13I", 0xFEEF04BD, 0x10000, *halves(file_version), *halves(product_version),
                       0x3F, 0, 0x40004, 1, 0, 0, 0)


def version_resource(version, strings):
    """The whole version resource: the fixed part for `version` (a dotted
    text), one US English string table of `strings` (name -> text) and the
    translation."""
    numbers = [int(part) for part in version.split(".")]
    table = version_node("040904B0", children=[version_node(name, text_value(text), True)
                                               for name, text in strings.items()])
    translation = version_node("Translation", struct.pack("<HH", 0x409, 1200))
    return version_node(VERSION_KEY, fixed_info(numbers, numbers),
                        children=[version_node("StringFileInfo", children=[table]),
                                  version_node("VarFileInfo", children=[translation])])


# The version node's first child starts after its 6-byte header, its key and
# terminator (32 bytes, so at 40 after padding) and the 52-byte fixed part.
FIRST_CHILD_OFFSET = 92


def resource_section(resources):
    """A resource section holding each (type id -> bytes) once, as name 1 in
    US English: root, type, name and language directories, then the data
    entries and the data, with offsets from the section's start."""
    types = sorted(resources)
    directory = lambda count: struct.pack("<IIHHHH", 0, 0, 0, 0, 0, count)
    root_size = 16 + 8 * len(types)
    # Each type has a type directory and a name directory of one entry
    # each (24 bytes apiece), then a 16-byte data entry.
    per_type = 24 + 24 + 16
    data_start = root_size + per_type * len(types)
    root = directory(len(types))
    tail = b""
    data = b""
    for index, type_id in enumerate(types):
        base = root_size + per_type * index
        root += struct.pack("<II", type_id, 0x80000000 | base)
        tail += directory(1) + struct.pack("<II", 1, 0x80000000 | (base + 24))
        tail += directory(1) + struct.pack("<II", 0x409, base + 48)
        blob_offset = data_start + len(data)
        tail += struct.pack("<IIII", SECTION_RVA + blob_offset, len(resources[type_id]), 0, 0)
        data += pad4(resources[type_id])
    return root + tail + data


def program(section, extra=b""):
    """A PE32+ program whose one section, .rsrc, is `section` and is the
    resource directory; `extra` follows it in the file (text a test looks
    for in the bytes)."""
    section = pad4(section)
    optional = bytearray(240)
    struct.pack_into("<H", optional, 0, 0x20B)
    struct.pack_into("<I", optional, 108, 16)
    struct.pack_into("<II", optional, 112 + 2 * 8, SECTION_RVA, len(section))
    header = bytearray(SECTION_FILE_OFFSET)
    header[0:2] = b"MZ"
    struct.pack_into("<I", header, 0x3C, 0x40)
    header[0x40:0x44] = b"PE\0\0"
    struct.pack_into("<HHIIIHH", header, 0x44, 0x8664, 1, 0, 0, 0, len(optional), 0x22)
    header[0x58:0x58 + len(optional)] = optional
    section_header = struct.pack("<8sIIIIIIHHI", b".rsrc", len(section), SECTION_RVA, len(section),
                                 SECTION_FILE_OFFSET, 0, 0, 0, 0, 0x40000040)
    start = 0x58 + len(optional)
    header[start:start + len(section_header)] = section_header
    return bytes(header) + section + extra
