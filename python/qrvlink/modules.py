"""The local module on the port and far modules found by a search."""
from __future__ import annotations

import ctypes
import os
from typing import TYPE_CHECKING, Callable, List, Optional, Tuple, Union

from ._calls import Context
from ._library import MESSAGE_HANDLER, PROGRESS_HANDLER, ModuleBase, ModuleProperty, library
from .errors import Failure, ImageError, error_for, last_failure
from .record import ModuleIdentity, ModuleRecord

if TYPE_CHECKING:
    from .port import Port

Progress = Callable[[int, int], None]
RATE_NAMES = {0: "250K", 1: "500K", 2: "1M"}
PathLike = Union[str, "os.PathLike[str]"]


class _Module:
    """What the local and far modules share: record, restart, IO, firmware.
    Subclasses name the library functions; `_io` calls the ...Local or
    ...Remote form of an IO function."""

    def __init__(self, port: "Port") -> None:
        self._port = port

    @property
    def _ctx(self) -> Context:
        return self._port._ctx

    def _io(self, what: str, name: str, *args) -> int:
        raise NotImplementedError

    def _submit(self, record: ModuleProperty) -> None:
        raise NotImplementedError

    def read(self) -> ModuleRecord:
        raise NotImplementedError

    def write(self, record: ModuleRecord, password: Optional[str] = None) -> None:
        """Writes `record` (bytes 0..51) to the module and restarts it.
        ArgumentError (a ValueError) when a changed field is refused by the
        field table; nothing is sent then. As qrvctl does, the module is read
        first and a module with a password is written only when `password`
        (by default the password `record` was read with) is that password:
        RefusedError otherwise, and nothing is written."""
        raw = record.to_struct()
        given = record.password_as_read() if password is None else password
        with self._ctx:
            current = self.read().password
            if current and given != current:
                raise error_for(Failure.REFUSED, "wrong password for the module; nothing was written"
                                if given else "the module has a password: give it with password=")
            self._port._require_open()
            self._submit(raw)

    def set_directions(self, directions: int) -> None:
        """Sets the IO line directions (bit n is line n+1; 1 output, 0 input)."""
        self._io("set directions", "SetIODirAll", directions)

    def set_outputs(self, outputs: int) -> None:
        """Drives output lines 1..4 from bits 0..3."""
        self._io("set outputs", "SetIOValue", outputs)

    def read_inputs(self) -> int:
        """The input lines as bits 0..3."""
        value = ctypes.c_uint8()
        self._io("read inputs", "GetIOvalue", ctypes.byref(value), 1)
        return value.value

    def read_analogue(self) -> Tuple[int, int, int, int]:
        """The four analogue inputs in millivolts, channel 1 first."""
        values = (ctypes.c_uint8 * 8)()
        self._io("read analogue inputs", "GetADvalue", values, 8)
        return tuple(values[2 * n] << 8 | values[2 * n + 1] for n in range(4))  # type: ignore[return-value]


class LocalModule(_Module):
    """The module on the serial port. `identity` is None until the first
    read, and again after a write or factory reset, which may change the
    address it answers at."""

    def __init__(self, port: "Port") -> None:
        super().__init__(port)
        self.identity: Optional[ModuleIdentity] = None

    def __repr__(self) -> str:
        who = repr(self.identity) if self.identity is not None else "not read yet"
        return f"<qrvlink.LocalModule {who} on {self._port.path!r}>"

    def read(self) -> ModuleRecord:
        """Reads the module's identity (kept in `identity`) and its record."""
        base, record = ModuleBase(), ModuleProperty()
        with self._ctx:
            self._port._require_open()
            self._ctx.checked("read the local module", "QRV_GetPropertyAll", ctypes.byref(base),
                              ctypes.byref(record))
            self.identity = ModuleIdentity.from_struct(base)
        return ModuleRecord.from_struct(record)

    def _submit(self, record: ModuleProperty) -> None:
        self._ctx.call("QRV_SetLocalPropertyAll", None, ctypes.byref(record))
        self.identity = None
        self._ctx.checked("write the local module", "QRV_SubmitInfo")

    def reset(self) -> None:
        """Restarts the module."""
        with self._ctx:
            self._port._require_open()
            self._ctx.checked("restart the local module", "QRV_ResetDev")

    def factory_reset(self) -> None:
        """Restores the factory settings and restarts; read again afterwards."""
        with self._ctx:
            self._port._require_open()
            self.identity = None
            self._ctx.checked("restore the local module's factory settings", "QRV_ResetToDefault")

    def _io(self, what: str, name: str, *args) -> int:
        with self._ctx:
            self._port._require_open()
            return self._ctx.checked(what, f"QRV_{name}Local", *args)

    def upgrade(self, path: PathLike, progress: Optional[Progress] = None) -> None:
        """Replaces the module's firmware from the .bin image at `path`
        (reading the module first when it was not read yet). `progress(done,
        total)` hears of each acknowledged block, on this thread; it must not
        call into this package. Blocks for the whole upgrade."""
        with self._ctx:
            if self.identity is None:
                self.read()
            assert self.identity is not None
            self._port._require_open()
            _upgrade(self._ctx, path, self.identity, progress)


class RemoteModule(_Module):
    """A far module: entry `index` of the search list, found on `channel`
    and `rate` (0 250K, 1 500K, 2 1M). Valid until the port's list is
    cleared (a new search clears it unless told not to)."""

    def __init__(self, port: "Port", index: int, channel: int, rate: int) -> None:
        super().__init__(port)
        self.index, self.channel, self.rate = index, channel, rate
        self._generation = port._search_generation

    def __repr__(self) -> str:
        # Never waits: the entry's identity is a copy the list holds.
        base = ModuleBase()
        current = (self._generation == self._port._search_generation
                   and self._ctx.call("QRV_GetRemoteDevBase", ctypes.byref(base), self.index))
        who = repr(ModuleIdentity.from_struct(base)) if current else "gone"
        return (f"<qrvlink.RemoteModule {who} entry {self.index} on channel {self.channel} "
                f"rate {RATE_NAMES.get(self.rate, self.rate)} via {self._port.path!r}>")

    def _require_entry(self) -> None:
        self._port._require_open()
        if self._generation != self._port._search_generation:
            raise error_for(Failure.ARGUMENT,
                            f"search entry {self.index} is gone: the list was cleared since")

    @property
    def identity(self) -> ModuleIdentity:
        """The entry's identity as the library holds it now: it follows a
        written address, and gets its firmware version once read."""
        self._require_entry()
        base = ModuleBase()
        if not self._ctx.call("QRV_GetRemoteDevBase", ctypes.byref(base), self.index):
            raise error_for(Failure.ARGUMENT, f"search entry {self.index} is gone")
        return ModuleIdentity.from_struct(base)

    def _entry_call(self, what: str, name: str, *args) -> int:
        with self._ctx:
            self._require_entry()
            return self._ctx.checked(what, name, self.index, *args)

    def read(self) -> ModuleRecord:
        """Reads the module's record over the air. The local radio stays on
        the module's channel and rate afterwards."""
        record = ModuleProperty()
        with self._ctx:
            self._require_entry()
            self._ctx.checked(f"read far module {self.index}", "QRV_GetRemoteDevPropertyAll",
                    ctypes.byref(record), self.index)
        return ModuleRecord.from_struct(record)

    def _submit(self, record: ModuleProperty) -> None:
        self._require_entry()
        self._ctx.checked("take the far record", "QRV_SetRemotePropertyAll", ctypes.byref(record),
                          self.index)
        self._ctx.checked(f"write far module {self.index}", "QRV_SubmitRemoteDevInfo", self.index)
        # The library's entry follows the module to its new pair; so do we.
        self.channel, self.rate = record.Channel, record.AirRate

    def reset(self) -> None:
        """Restarts the far module."""
        self._entry_call("restart the far module", "QRV_ResetRemoteDev")

    def factory_reset(self) -> None:
        """Restores the far module's factory settings and restarts it."""
        self._entry_call("restore the far module's factory settings", "QRV_ResetRemoteToDefault")

    def _io(self, what: str, name: str, *args) -> int:
        return self._entry_call(what, f"QRV_{name}Remote", *args)

    def upgrade(self, path: PathLike, progress: Optional[Progress] = None) -> None:
        """Replaces the far module's firmware: reads it first, which tunes the
        local radio to it, then upgrades with the identity just read. See
        LocalModule.upgrade."""
        with self._ctx:
            self._entry_call(f"reach far module {self.index}", "QRV_LoadRemoteDevInfo")
            _upgrade(self._ctx, path, self.identity, progress)


def _upgrade(ctx: Context, path: PathLike, identity: ModuleIdentity, progress: Optional[Progress]) -> None:
    lib = library()
    messages: List[str] = []
    raised: List[BaseException] = []

    # Exceptions cannot cross the C call: the first one is kept and raised
    # once the upgrade is over.
    def on_progress(_user, done: int, total: int) -> None:
        if progress is not None and not raised:
            try:
                progress(done, total)
            except BaseException as error:  # noqa: B902 - re-raised below
                raised.append(error)

    def on_message(_kind: int, text: bytes, _user) -> None:
        messages.append(text.decode("utf-8", errors="replace"))

    progress_handler, message_handler = PROGRESS_HANDLER(on_progress), MESSAGE_HANDLER(on_message)
    with ctx:
        ctx.call("SetProgressHandler", progress_handler, None)
        ctx.call("SetMessageHandler", message_handler, None)
        try:
            ok = ctx.call("QRV_UpdateWithFileNameLocal", os.fspath(path), identity.run_state,
                          identity.address, identity.device_type)
            failure = None if ok else last_failure(lib)
        finally:
            # Removing them waits for a running call, so the ctypes
            # callbacks above may be freed once we return.
            ctx.call("SetProgressHandler", PROGRESS_HANDLER(), None)
            ctx.call("SetMessageHandler", MESSAGE_HANDLER(), None)
    if failure is not None:
        reason, detail, os_error = failure
        error = error_for(reason, detail or "; ".join(messages) or "upgrade failed", os_error)
        if isinstance(error, ImageError):
            error.messages = tuple(messages)
        raise error
    if raised:
        raise raised[0]
