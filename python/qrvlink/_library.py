"""Finding and loading libQrvlink, and the C records and prototypes it takes."""
from __future__ import annotations

import ctypes
import os
import sys
from pathlib import Path
from typing import Optional

#: Names the library by path, ahead of every other place.
LIBRARY_VARIABLE = "QRVLINK_LIBRARY"
SONAME = "Qrvlink.dll" if sys.platform == "win32" else "libQrvlink.so.1"


class ModuleBase(ctypes.Structure):
    """A module's identity as the library copies it: 7 packed bytes."""
    _pack_ = 1
    _fields_ = [("NetAddr", ctypes.c_uint16), ("DevType", ctypes.c_uint16),
                ("RunState", ctypes.c_uint8), ("FwVersion", ctypes.c_uint16)]


class ModuleProperty(ctypes.Structure):
    """A module's configuration record: 57 packed bytes, 0..51 writable."""
    _pack_ = 1
    _fields_ = [("DevName", ctypes.c_char * 16), ("Password", ctypes.c_char * 16),
                ("WorkMode", ctypes.c_uint8), ("Channel", ctypes.c_uint8),
                ("NetId", ctypes.c_uint16), ("LocalAddr", ctypes.c_uint16),
                ("DestAddr", ctypes.c_uint16), ("AirRate", ctypes.c_uint8),
                ("TxPower", ctypes.c_uint8), ("RetryCount", ctypes.c_uint8),
                ("RetryInterval", ctypes.c_uint16), ("UartBaud", ctypes.c_uint8),
                ("UartDataBits", ctypes.c_uint8), ("UartStopBits", ctypes.c_uint8),
                ("UartParity", ctypes.c_uint8), ("FrameGap", ctypes.c_uint8),
                ("FrameLen", ctypes.c_uint8), ("Spare51", ctypes.c_uint8),
                ("RunState", ctypes.c_uint8), ("DevType", ctypes.c_uint16),
                ("FwVersion", ctypes.c_uint16)]


assert ctypes.sizeof(ModuleBase) == 7 and ctypes.sizeof(ModuleProperty) == 57

MESSAGE_HANDLER = ctypes.CFUNCTYPE(None, ctypes.c_int, ctypes.c_char_p, ctypes.c_void_p)
PROGRESS_HANDLER = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.c_int32, ctypes.c_int32)

_int, _u8p = ctypes.c_int, ctypes.POINTER(ctypes.c_uint8)
_base_p, _prop_p = ctypes.POINTER(ModuleBase), ctypes.POINTER(ModuleProperty)

# name: (result type, argument types)
_PROTOTYPES = {
    "Q_OpenCom": (_int, [ctypes.c_wchar_p] + [_int] * 9),
    "Q_CloseCom": (_int, []),
    "Q_ComCheckOpen": (_int, []),
    "Q_GetLastError": (_int, []),
    "Q_GetLastFailure": (ctypes.c_int32, [ctypes.c_char_p, ctypes.c_int32]),
    "Q_GetLastOsError": (ctypes.c_int32, []),
    "Q_GetLastFailureInfo": (ctypes.c_int32, [ctypes.c_void_p]),
    "Q_GetVersion": (ctypes.c_char_p, []),
    "Q_SetMessageHandler": (None, [MESSAGE_HANDLER, ctypes.c_void_p]),
    "Q_SetProgressHandler": (None, [PROGRESS_HANDLER, ctypes.c_void_p]),
    "Q_QRV_GetPropertyAll": (_int, [_base_p, _prop_p]),
    "Q_QRV_SetLocalPropertyAll": (_int, [ctypes.c_void_p, _prop_p]),
    "Q_QRV_SubmitInfo": (_int, []),
    "Q_QRV_ResetDev": (_int, []),
    "Q_QRV_ResetToDefault": (_int, []),
    "Q_QRV_SearchDev": (_int, [_int, _int]),
    "Q_QRV_SearchDevByAddr": (_int, [_int, _int, _int]),
    "Q_QRV_ClearSearchArr": (None, []),
    "Q_QRV_GetSearchDevCount": (_int, []),
    "Q_QRV_GetRemoteDevBase": (_int, [_base_p, _int]),
    "Q_QRV_LoadRemoteDevInfo": (_int, [_int]),
    "Q_QRV_GetRemoteDevPropertyAll": (_int, [_prop_p, _int]),
    "Q_QRV_SetRemotePropertyAll": (_int, [_prop_p, _int]),
    "Q_QRV_SubmitRemoteDevInfo": (_int, [_int]),
    "Q_QRV_ResetRemoteDev": (_int, [_int]),
    "Q_QRV_ResetRemoteToDefault": (_int, [_int]),
    "Q_QRV_SetIODirAllLocal": (_int, [_int]),
    "Q_QRV_SetIODirAllRemote": (_int, [_int, _int]),
    "Q_QRV_SetIOValueLocal": (_int, [_int]),
    "Q_QRV_SetIOValueRemote": (_int, [_int, _int]),
    "Q_QRV_GetIOvalueLocal": (ctypes.c_uint8, [_u8p, _int]),
    "Q_QRV_GetIOvalueRemote": (ctypes.c_uint8, [_int, _u8p, _int]),
    "Q_QRV_GetADvalueLocal": (ctypes.c_uint16, [_u8p, _int]),
    "Q_QRV_GetADvalueRemote": (ctypes.c_uint16, [_int, _u8p, _int]),
    "Q_QRV_UpdateWithFileNameLocal": (_int, [ctypes.c_wchar_p, _int, _int, _int]),
}


# The functions without state stay single; every other one has a context twin
# (Q_Ctx... with the context first).
_STATELESS = {"Q_GetLastFailure", "Q_GetLastFailureInfo", "Q_GetLastOsError", "Q_GetVersion"}
_CONTEXT_PROTOTYPES = {
    "Q_CtxNew": (ctypes.c_void_p, []),
    "Q_CtxFree": (None, [ctypes.c_void_p]),
    "Q_CtxLock": (_int, [ctypes.c_void_p]),
    "Q_CtxUnlock": (_int, [ctypes.c_void_p]),
}
for _name, (_restype, _argtypes) in list(_PROTOTYPES.items()):
    if _name not in _STATELESS:
        _CONTEXT_PROTOTYPES["Q_Ctx" + _name[2:]] = (_restype, [ctypes.c_void_p] + _argtypes)
_PROTOTYPES.update(_CONTEXT_PROTOTYPES)


def _build_tree_library() -> Optional[str]:
    # The build copies this package beside a generated _build_tree.py naming
    # the library it built; an installed package has no such file.
    try:
        from . import _build_tree  # type: ignore[attr-defined]
    except ImportError:
        return None
    return _build_tree.LIBRARY if Path(_build_tree.LIBRARY).exists() else None


def candidates() -> list:
    """The places tried, in order: the build tree, then the soname; the
    variable, when set, is the only place (a wrong override must not fall
    back silently to another copy)."""
    override = os.environ.get(LIBRARY_VARIABLE)
    if override:
        return [override]
    return [path for path in (_build_tree_library(), SONAME) if path]


_loaded: Optional[ctypes.CDLL] = None


def library() -> ctypes.CDLL:
    """The process's one libQrvlink, loaded and declared on first use."""
    global _loaded
    if _loaded is None:
        errors = []
        for path in candidates():
            try:
                lib = ctypes.CDLL(path)
                break
            except OSError as error:
                errors.append(f"{path}: {error}")
        else:
            raise OSError("libQrvlink not found (set " + LIBRARY_VARIABLE + "): " + "; ".join(errors))
        for name, (restype, argtypes) in _PROTOTYPES.items():
            function = getattr(lib, name)
            function.restype, function.argtypes = restype, argtypes
        _loaded = lib
    return _loaded
