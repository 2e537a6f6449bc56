"""A module's identity and configuration record as plain Python values."""
from __future__ import annotations

import codecs
import ctypes
import dataclasses
from dataclasses import dataclass, field
from typing import Tuple

from ._library import ModuleBase, ModuleProperty
from .errors import ArgumentError, Failure
from .fields import BY_ATTRIBUTE, NAMED, CODED, TEXT, Field, named

#: The module's text fields hold 15 bytes of GBK text and a terminator.
TEXT_BYTES = BY_ATTRIBUTE["name"].high
#: Air rate codes and their names ({0: "250K", ...}).
AIR_RATES = {c.code: c.name for c in BY_ATTRIBUTE["air_rate"].choices}


def firmware_text(version: int) -> str:
    """Four decimal digits in four nibbles: 0x0123 is "V1.23", 0x1234 "V12.34"."""
    d3, d2, d1, d0 = (version >> 12) & 15, (version >> 8) & 15, (version >> 4) & 15, version & 15
    return f"V{d3}{d2}.{d1}{d0}" if d3 else f"V{d2}.{d1}{d0}"


DEVICE_TYPES = {0x00: "boot loader", 0x10: "QRV", 0x11: "KORVANET", 0x12: "VLX IO"}


@dataclass(frozen=True)
class ModuleIdentity:
    """Who a module is: its network address (the address of every frame to
    it), device type (0x10 point-to-point, 0x11 network, 0x12 wireless IO,
    0 boot loader), run state (0x55 boot loader, 0xAA user firmware) and
    firmware version (0 for a far module not read yet)."""
    address: int
    device_type: int
    run_state: int
    firmware_version: int

    @property
    def firmware_text(self) -> str:
        return firmware_text(self.firmware_version)

    @property
    def device_text(self) -> str:
        """The device family's name, or its code in hex."""
        return DEVICE_TYPES.get(self.device_type, f"type 0x{self.device_type:02X}")

    def __repr__(self) -> str:
        return (f"ModuleIdentity(address=0x{self.address:04X}, {self.device_text}, "
                f"run_state=0x{self.run_state:02X}, firmware {self.firmware_text})")

    @classmethod
    def from_struct(cls, base: ModuleBase) -> "ModuleIdentity":
        return cls(base.NetAddr, named("device_type", base.DevType), named("run_state", base.RunState),
                   base.FwVersion)


# Dataclass field -> (record member, bytes); the texts are handled apart.
_NUMBERS: Tuple[Tuple[str, str, int], ...] = (
    ("work_mode", "WorkMode", 1), ("channel", "Channel", 1), ("net_id", "NetId", 2),
    ("local_address", "LocalAddr", 2), ("dest_address", "DestAddr", 2),
    ("air_rate", "AirRate", 1), ("tx_power", "TxPower", 1), ("retry_count", "RetryCount", 1),
    ("retry_interval", "RetryInterval", 2), ("uart_baud", "UartBaud", 1),
    ("uart_data_bits", "UartDataBits", 1), ("uart_stop_bits", "UartStopBits", 1),
    ("uart_parity", "UartParity", 1), ("frame_gap", "FrameGap", 1),
    ("frame_length", "FrameLen", 1), ("spare51", "Spare51", 1),
    ("run_state", "RunState", 1), ("device_type", "DevType", 2),
    ("firmware_version", "FwVersion", 2),
)
_TEXTS = (("name", "DevName"), ("password", "Password"))


def _code_page_936(error: UnicodeError):
    # Python's GBK lacks the one single byte code page 936 adds, 0x80 for the
    # euro sign, which the hosts' (and our C++ side's) conversions know.
    if isinstance(error, UnicodeEncodeError) and error.object[error.start] == "\u20ac":
        return b"\x80", error.start + 1
    if isinstance(error, UnicodeDecodeError):
        return ("\u20ac" if error.object[error.start] == 0x80 else "\ufffd"), error.start + 1
    raise error


codecs.register_error("qrvlink-cp936", _code_page_936)


def _decode(raw: bytes) -> str:
    return raw.split(b"\0", 1)[0].decode("gbk", errors="qrvlink-cp936")


def _shown(field: Field, value) -> str:
    if field.attribute == "password":
        return "the password"  # never in a message
    text = repr(value)
    return text if len(text) <= 40 else text[:40] + f"... ({len(text)} characters)"


def _refuse(field: Field, value, why: str = "") -> ArgumentError:
    return ArgumentError(Failure.ARGUMENT, f"{field.attribute}: {_shown(field, value)} {why or 'is out of range'}"
                                           f"; takes {field.rule()}")


def _encode(text: str, what: str) -> bytes:
    field = BY_ATTRIBUTE[what]
    if not isinstance(text, str):
        raise _refuse(field, text, "is not text")
    try:
        raw = text.encode("gbk", errors="qrvlink-cp936")
    except UnicodeEncodeError as error:
        raise _refuse(field, text, "has characters GBK cannot hold") from error
    if not field.accepts_text(raw):
        raise _refuse(field, text, f"is {len(raw)} bytes in GBK" if len(raw) > field.high
                      else "holds a control character")
    return raw


def check(attribute: str, value):
    """`value` as the record holds it (a name such as "1M" or "115200" as its
    code); ArgumentError naming field, value and range when the field's
    table refuses it."""
    field = BY_ATTRIBUTE.get(attribute)
    if field is None:
        return value
    if field.kind == TEXT:
        _encode(value, attribute)
        return value
    if isinstance(value, str) and field.kind in (NAMED, CODED):
        code = field.code_of(value)
        if code is None:
            raise _refuse(field, value, "is not a known value")
        value = code
    if isinstance(value, bool) or not isinstance(value, int):
        raise _refuse(field, value, "is not a whole number")
    if not field.accepts(value):
        raise _refuse(field, value, "is not a known value" if field.kind in (NAMED, CODED) else "")
    return named(attribute, int(value))


@dataclass
class ModuleRecord:
    """A module's configuration, field by field, as the module stores it
    (codes, not labels: air_rate 0 is 250K, uart_baud 7 is 115200, tx_power
    0x0B is -5 dBm). work_mode, air_rate, uart_parity, run_state and
    device_type come as enums (AirRate.R1M, Parity.EVEN, WorkMode.HOST,
    DeviceType.QRV, RunState.USER) where the code is known. replace() also
    takes names: replace(air_rate="1M", uart_baud="115200", tx_power="-5").
    A changed field is checked against the library's field table (replace()
    at once, write() before anything is sent): ArgumentError naming field,
    value and range. `name` and `password` are text, held by the module in
    GBK; a name left as read is written back byte for byte, even where it
    did not decode cleanly. run_state, device_type and firmware_version are
    only read: a write sends bytes 0..51 of the record.

    Edit with dataclasses.replace() or by assignment, then write."""
    name: str = ""
    work_mode: int = 0
    channel: int = 0
    net_id: int = 0
    local_address: int = 0
    dest_address: int = 0
    air_rate: int = 0
    tx_power: int = 0
    retry_count: int = 0
    retry_interval: int = 0
    uart_baud: int = 0
    uart_data_bits: int = 0
    uart_stop_bits: int = 0
    uart_parity: int = 0
    frame_gap: int = 0
    frame_length: int = 0
    password: str = ""
    spare51: int = 0
    run_state: int = 0
    device_type: int = 0
    firmware_version: int = 0
    # The 57 bytes this record was read from, so that what the fields do not
    # say (text bytes that did not decode, bytes after a terminator) survives.
    raw: bytes = field(default=bytes(57), repr=False, compare=False)

    @classmethod
    def from_struct(cls, record: ModuleProperty) -> "ModuleRecord":
        values = {name: named(name, getattr(record, member)) for name, member, _ in _NUMBERS}
        for name, member in _TEXTS:
            values[name] = _decode(_field_bytes(record, member))
        return cls(raw=bytes(record), **values)

    def to_struct(self) -> ModuleProperty:
        """The 57-byte record; ArgumentError (a ValueError) when a field does
        not fit or a changed field is refused by the field table. A field
        left as read is kept, whatever it holds."""
        record = ModuleProperty.from_buffer_copy(self.raw.ljust(57, b"\0")[:57])
        values = {name: getattr(self, name) for name, _, _ in _NUMBERS}
        for name, member, _ in _NUMBERS:
            # Also a field set by assignment: a name ("1M") becomes its code.
            if BY_ATTRIBUTE[name].writable and values[name] != getattr(record, member):
                values[name] = check(name, values[name])
        for name, member in _TEXTS:
            text = getattr(self, name)
            if text == _decode(_field_bytes(record, member)):
                continue  # unchanged: the bytes as read
            raw = _encode(text, name)
            offset = getattr(ModuleProperty, member).offset
            padded = raw.ljust(TEXT_BYTES + 1, b"\0")
            ctypes.memmove(ctypes.addressof(record) + offset, padded, len(padded))
        for name, member, size in _NUMBERS:
            value = values[name]
            if not isinstance(value, int) or not 0 <= value < 1 << (8 * size):
                raise ValueError(f"{name}: {value!r} does not fit {size * 8} bits")
            setattr(record, member, value)
        return record

    def password_as_read(self) -> str:
        """The password this record was read with ("" for a record not read)."""
        offset = ModuleProperty.Password.offset
        return _decode(self.raw[offset:offset + TEXT_BYTES + 1])

    def replace(self, **changes) -> "ModuleRecord":
        """A copy with some fields changed (dataclasses.replace); names of
        named and coded values are taken ("1M"). ArgumentError when the
        field table refuses a value."""
        return dataclasses.replace(self, **{name: check(name, value) for name, value in changes.items()})


def _field_bytes(record: ModuleProperty, member: str) -> bytes:
    # ctypes cuts a char array at its first NUL; the raw 16 bytes are wanted.
    offset = getattr(ModuleProperty, member).offset
    return bytes(record)[offset:offset + TEXT_BYTES + 1]
