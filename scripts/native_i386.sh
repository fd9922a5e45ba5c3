#!/usr/bin/env bash
# Exits 0 when this machine runs 32-bit x86 code natively, as 32-bit Wine needs. Some virtual
# machines run kernels whose 32-bit emulation is turned off (exec of a 32-bit program then gives
# "Exec format error"): there the control, its plugins and its tests cannot run at all. The probe
# makes one 32-bit system call (int 0x80, getpid) from a 64-bit process; without 32-bit support the
# kernel kills the probe instead of answering. Prints nothing.
exec 2>/dev/null
python3 - <<'PY' >/dev/null
import ctypes, mmap
code = bytes([0xb8, 0x14, 0, 0, 0, 0xcd, 0x80, 0xc3])  # mov eax, 20; int 0x80; ret
memory = mmap.mmap(-1, mmap.PAGESIZE, prot=mmap.PROT_READ | mmap.PROT_WRITE | mmap.PROT_EXEC)
memory.write(code)
address = ctypes.addressof(ctypes.c_char.from_buffer(memory))
ctypes.CFUNCTYPE(ctypes.c_int)(address)()
PY
