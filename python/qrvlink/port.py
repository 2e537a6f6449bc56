"""The serial port: opening, closing, and searching the radio network."""
from __future__ import annotations

import os
import threading
from typing import Callable, Iterable, Iterator, List, Optional, Tuple, Union

from ._calls import Context
from ._library import library
from .errors import Failure, error_for, last_failure
from .fields import CHANNELS
from .modules import LocalModule, RemoteModule
from .record import AIR_RATES

PARITIES = {"none": 0, "odd": 1, "even": 2, "mark": 3, "space": 4}
STOP_BITS = {1: 0, 1.5: 1, 2: 2}
RATES = {name: code for code, name in AIR_RATES.items()}

Rate = Union[int, str]
Found = Callable[[RemoteModule], None]

def rate_code(rate: Rate) -> int:
    """An air rate as its code: 0, 1, 2 or "250K", "500K", "1M"."""
    if isinstance(rate, str):
        if rate.upper() not in RATES:
            raise ValueError(f"air rate {rate!r}: one of {', '.join(RATES)}")
        return RATES[rate.upper()]
    if rate not in RATES.values():
        raise ValueError(f"air rate {rate!r}: " + ", ".join(f"{c} ({n})" for c, n in AIR_RATES.items()))
    return rate


class Port:
    """The serial port a module is attached to, opened on construction.

        with Port("/dev/ttyUSB0", baud=115200) as port:
            record = port.local.read()

    parity: "none", "odd", "even", "mark", "space"; stop_bits 1, 1.5 or 2;
    read_timeout_ms bounds every read of an answer (0: no limit, only for a
    module known to answer).

    Each Port has its own library context: several ports may be open in one
    process and used from several threads at once. Inside one Port the calls
    take turns (one caller at a time, in the order they came); a write or a
    search pair runs whole."""

    def __init__(self, path: "Union[str, os.PathLike[str]]", *, baud: int = 115200, data_bits: int = 8,
                 parity: str = "none", stop_bits: float = 1, read_timeout_ms: int = 500,
                 rts_control: int = 0, cts_flow: bool = False, dsr_flow: bool = False) -> None:
        if parity not in PARITIES:
            raise ValueError(f"parity {parity!r}: one of {', '.join(PARITIES)}")
        if stop_bits not in STOP_BITS:
            raise ValueError(f"stop bits {stop_bits!r}: 1, 1.5 or 2")
        self.path = path = os.fspath(path)
        self.baud = baud
        self._open = False
        self._search_generation = 0
        self._ctx = Context()
        with self._ctx:
            self._ctx.checked(f"open {path}", "OpenCom", path, baud, data_bits, PARITIES[parity],
                              STOP_BITS[stop_bits], 0, rts_control, int(cts_flow), int(dsr_flow),
                              read_timeout_ms)
            self._open = True
        self.local = LocalModule(self)

    def __repr__(self) -> str:
        return f"<qrvlink.Port {self.path!r} baud={self.baud} {'open' if self._open else 'closed'}>"

    def __enter__(self) -> "Port":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    @property
    def closed(self) -> bool:
        return not self._open

    def close(self) -> None:
        """Closes the port (waiting for a running exchange). Again is harmless."""
        with self._ctx:
            if self._open:
                self._ctx.call("CloseCom")
                self._open = False

    def _require_open(self) -> None:
        if not self._open:
            raise error_for(Failure.PORT_NOT_OPEN, f"{self.path} is closed")

    def clear_search(self) -> None:
        """Empties the search list: every RemoteModule found so far is gone."""
        with self._ctx:
            self._ctx.call("QRV_ClearSearchArr")
            self._search_generation += 1

    def search(self, channels: Union[int, Iterable[int]] = CHANNELS,
               rates: Union[Rate, Iterable[Rate]] = (0, 1, 2), *, address: Optional[int] = None,
               on_found: Optional[Found] = None, clear: bool = True) -> Iterator[RemoteModule]:
        """Searches every channel at every rate (by default all 25 x 3 pairs,
        each lasting about three read time-outs past its last answer) and
        yields each far module as it answers, after calling `on_found` with
        it. `address` asks only that module. `clear` empties the list first.

        A pair where nobody answers is normal. A failure of the port raises
        once the modules found before it are yielded. Leaving the loop early
        stops the sweep after the pair being searched."""
        channel_list = [channels] if isinstance(channels, int) else list(channels)
        rate_list = [rate_code(r) for r in ([rates] if isinstance(rates, (int, str)) else rates)]
        pairs = [(c, r) for c in channel_list for r in rate_list]
        self._require_open()
        if clear:
            self.clear_search()
        return self._sweep(pairs, address, on_found)

    def _sweep(self, pairs: List[Tuple[int, int]], address: Optional[int],
               on_found: Optional[Found]) -> Iterator[RemoteModule]:
        sweep = _Sweep(self, pairs, address)
        seen = self._ctx.call("QRV_GetSearchDevCount")
        try:
            sweep.thread.start()
            while True:
                finished = sweep.done.wait(0.02)
                count = self._ctx.call("QRV_GetSearchDevCount")
                for index in range(seen, count):
                    module = RemoteModule(self, index, *sweep.pair_of(index))
                    if on_found is not None:
                        on_found(module)
                    yield module
                seen = max(seen, count)
                if finished:
                    break
        finally:
            sweep.stop.set()
            sweep.thread.join()
        if sweep.failure is not None:
            raise error_for(*sweep.failure)


class _Sweep:
    """The search pairs run on a thread of their own, so that the caller can
    yield entries while a pair is still being searched (the list's count and
    identities are readable during a search)."""

    def __init__(self, port: Port, pairs: List[Tuple[int, int]], address: Optional[int]) -> None:
        self.port, self.pairs, self.address = port, pairs, address
        self.stop, self.done = threading.Event(), threading.Event()
        self.failure: Optional[Tuple[int, str, int]] = None
        self._guard = threading.Lock()
        self._ends: List[Tuple[int, Tuple[int, int]]] = []  # list count after each pair
        self._current: Tuple[int, int] = pairs[0] if pairs else (0, 0)
        self.thread = threading.Thread(target=self._run, name="qrvlink-search")

    def pair_of(self, index: int) -> Tuple[int, int]:
        # Entries appear only while their pair runs, and a pair's end is noted
        # before the next begins: an index below a noted end is that pair's.
        with self._guard:
            for end, pair in self._ends:
                if index < end:
                    return pair
            return self._current

    def _run(self) -> None:
        ctx = self.port._ctx
        try:
            for pair in self.pairs:
                if self.stop.is_set():
                    break
                with ctx:
                    if not self.port._open:
                        self.failure = (Failure.PORT_NOT_OPEN, f"{self.port.path} is closed", 0)
                        break
                    with self._guard:
                        self._current = pair
                    if self.address is None:
                        ctx.call("QRV_SearchDev", *pair)
                    else:
                        ctx.call("QRV_SearchDevByAddr", *pair, self.address)
                    # Read on this thread: the reason is the thread's own.
                    reason, detail, os_error = last_failure(library())
                    with self._guard:
                        self._ends.append((ctx.call("QRV_GetSearchDevCount"), pair))
                if reason not in (Failure.NONE, Failure.NO_ANSWER):
                    self.failure = (reason, detail, os_error)
                    break
        finally:
            self.done.set()
