"""The string values of a DLL's version resource (VERSIONINFO), read with pefile."""
import pefile


def version_strings(path):
    """Every StringFileInfo value of the DLL, as one dict; empty when it carries no version resource."""
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    values = {}
    for info in getattr(pe, "FileInfo", None) or []:
        for entry in info:
            for table in getattr(entry, "StringTable", []):
                for key, value in table.entries.items():
                    values[key.decode("utf-8")] = value.decode("utf-8").rstrip("\0")
    pe.close()
    return values


def fixed_version(path):
    """FILEVERSION and PRODUCTVERSION as dotted texts of four numbers."""
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    fixed = pe.VS_FIXEDFILEINFO[0]

    def dotted(high, low):
        return "%d.%d.%d.%d" % (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)

    result = (dotted(fixed.FileVersionMS, fixed.FileVersionLS),
              dotted(fixed.ProductVersionMS, fixed.ProductVersionLS))
    pe.close()
    return result
