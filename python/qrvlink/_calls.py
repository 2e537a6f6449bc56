"""The one lock every exchange takes, and calls that turn a 0 into an exception."""
from __future__ import annotations

import collections
import threading
from typing import Any

from ._library import library
from .errors import raise_last_failure


class FairLock:
    """A re-entrant lock handed over in the order it was asked for. A search
    takes it once per channel and rate; with a plain lock the search thread
    would take it straight back after each pair, and a call from another
    thread could wait for the whole sweep."""

    def __init__(self) -> None:
        self._condition = threading.Condition(threading.Lock())
        self._queue: "collections.deque[int]" = collections.deque()
        self._owner, self._depth, self._tickets = None, 0, 0

    def __enter__(self) -> "FairLock":
        me = threading.get_ident()
        with self._condition:
            if self._owner == me:
                self._depth += 1
                return self
            self._tickets += 1
            ticket = self._tickets
            self._queue.append(ticket)
            try:
                self._condition.wait_for(lambda: self._owner is None and self._queue[0] == ticket)
            except BaseException:  # Ctrl-C while waiting: leave the queue
                self._queue.remove(ticket)
                self._condition.notify_all()
                raise
            self._queue.popleft()
            self._owner, self._depth = me, 1
        return self

    def __exit__(self, *exc) -> None:
        with self._condition:
            self._depth -= 1
            if self._depth == 0:
                self._owner = None
                self._condition.notify_all()


# The library holds one port, one local module and one search list for the
# whole process, and a write is two calls (take the record, then submit it):
# one lock for the process keeps another thread's record or search out of
# the middle. Re-entrant, so that a compound operation can take it around
# its steps; a handler calling back in then fails at once in the library
# (argument error) instead of waiting for itself.
LOCK = FairLock()


def checked(what: str, name: str, *args: Any) -> int:
    """Calls libQrvlink's `name` and raises the thread's failure when it
    returns 0. The caller holds LOCK when the call is part of a sequence."""
    lib = library()
    with LOCK:
        result = getattr(lib, name)(*args)
        if not result:
            raise_last_failure(lib, what)
    return result
