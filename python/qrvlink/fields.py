"""The record's fields as the library describes them (Q_FieldInfo): names,
ranges, named values. Read once at import; nothing here repeats a rule."""
from __future__ import annotations

import ctypes
import enum
from dataclasses import dataclass
from typing import Dict, Optional, Tuple, Type

from ._library import library

TEXT, NUMBER, NAMED, CODED = 0, 1, 2, 3
_WRITABLE, _HEX, _FAR = 0x1, 0x2, 0x4


class _Choice(ctypes.Structure):
    _fields_ = [("Name", ctypes.c_char_p), ("Number", ctypes.c_int64), ("Code", ctypes.c_uint32)]


class _Info(ctypes.Structure):
    _fields_ = [("Size", ctypes.c_uint32), ("Name", ctypes.c_char_p), ("Property", ctypes.c_int32),
                ("Offset", ctypes.c_uint32), ("Bytes", ctypes.c_uint32), ("Kind", ctypes.c_int32),
                ("Flags", ctypes.c_uint32), ("Min", ctypes.c_int64), ("Max", ctypes.c_int64),
                ("Choices", ctypes.POINTER(_Choice)), ("ChoiceCount", ctypes.c_int32),
                ("Unit", ctypes.c_char_p), ("About", ctypes.c_char_p)]


@dataclass(frozen=True)
class Choice:
    name: str    # "1M", "even", "115200"
    number: int  # what it stands for (115200 baud, -5 dBm); the code for named values
    code: int    # what the record holds


@dataclass(frozen=True)
class Field:
    """One field: `name` as qrvctl spells it, `attribute` as ModuleRecord
    does; `low`..`high` bound a number (a text's bytes)."""
    index: int
    name: str
    attribute: str
    offset: int
    size: int
    kind: int
    writable: bool
    hex: bool
    far: bool
    low: int
    high: int
    choices: Tuple[Choice, ...]
    unit: str
    about: str

    def accepts(self, value: int) -> bool:
        """Whether the record may hold `value` (a code for named and coded fields)."""
        return bool(library().Q_FieldCheck(self.index, value))

    def accepts_text(self, raw: bytes) -> bool:
        """Whether GBK bytes fit the text field: at most 15, printable."""
        return bool(library().Q_FieldCheckText(self.index, raw, len(raw)))

    def rule(self) -> str:
        """What the field takes, for messages: "6..30", "one of 250K (code 0), ..."."""
        if self.kind == TEXT:
            return f"text of at most {self.high} bytes in GBK, no control characters"
        if self.kind == NUMBER:
            return f"{self.low}..{self.high}"
        return "one of " + ", ".join(f"{c.name} (code {c.code})" for c in self.choices)

    def code_of(self, label: str) -> Optional[int]:
        """The code of a named or coded value given by its name ("1M", "115200")."""
        for c in self.choices:
            if c.name.lower() == label.lower():
                return c.code
        return None


def _attribute(name: str) -> str:
    return "spare51" if name == "spare" else name.replace("-", "_")


def _load() -> Tuple[Field, ...]:
    lib = library()
    lib.Q_FieldCount.restype, lib.Q_FieldCount.argtypes = ctypes.c_int32, []
    lib.Q_FieldInfo.restype, lib.Q_FieldInfo.argtypes = ctypes.c_int32, [ctypes.c_int32, ctypes.POINTER(_Info)]
    lib.Q_FieldCheck.restype, lib.Q_FieldCheck.argtypes = ctypes.c_int32, [ctypes.c_int32, ctypes.c_int64]
    lib.Q_FieldCheckText.restype = ctypes.c_int32
    lib.Q_FieldCheckText.argtypes = [ctypes.c_int32, ctypes.c_char_p, ctypes.c_int32]
    fields = []
    for index in range(lib.Q_FieldCount()):
        info = _Info(Size=ctypes.sizeof(_Info))
        if not lib.Q_FieldInfo(index, ctypes.byref(info)):
            continue
        choices = tuple(Choice(info.Choices[i].Name.decode(), info.Choices[i].Number, info.Choices[i].Code)
                        for i in range(info.ChoiceCount))
        name = info.Name.decode()
        fields.append(Field(index, name, _attribute(name), info.Offset, info.Bytes, info.Kind,
                            bool(info.Flags & _WRITABLE), bool(info.Flags & _HEX), bool(info.Flags & _FAR),
                            info.Min, info.Max, choices, info.Unit.decode(), info.About.decode()))
    return tuple(fields)


#: Every field of the record, in the library's order.
FIELDS: Tuple[Field, ...] = _load()
#: The same by ModuleRecord attribute ("air_rate").
BY_ATTRIBUTE: Dict[str, Field] = {f.attribute: f for f in FIELDS}


def _member(label: str) -> str:
    name = label.upper().replace("-", "_")
    return "R" + name if name[0].isdigit() else name


def _enum(enum_name: str, attribute: str) -> Type[enum.IntEnum]:
    members = [(_member(c.name), c.code) for c in BY_ATTRIBUTE[attribute].choices]
    made = enum.IntEnum(enum_name, members, module=__name__)  # type: ignore[misc]
    made.__doc__ = f"The codes of {attribute}, from the library's field table."
    return made


WorkMode = _enum("WorkMode", "work_mode")        # WorkMode.HOST, WorkMode.LINKED_IO
AirRate = _enum("AirRate", "air_rate")           # AirRate.R250K, AirRate.R1M
Parity = _enum("Parity", "uart_parity")          # Parity.EVEN, Parity.MARK
DeviceType = _enum("DeviceType", "device_type")  # DeviceType.QRV, DeviceType.VLX_IO
RunState = _enum("RunState", "run_state")        # RunState.BOOT, RunState.USER
ENUMS: Dict[str, Type[enum.IntEnum]] = {
    "work_mode": WorkMode, "air_rate": AirRate, "uart_parity": Parity,
    "device_type": DeviceType, "run_state": RunState,
}
CHANNELS = range(BY_ATTRIBUTE["channel"].low, BY_ATTRIBUTE["channel"].high + 1)


def named(attribute: str, code: int) -> int:
    """`code` as its enum member where the field has one and knows the code."""
    kind = ENUMS.get(attribute)
    if kind is None:
        return code
    try:
        return kind(code)
    except ValueError:
        return code
