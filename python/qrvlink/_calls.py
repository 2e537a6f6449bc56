"""One libQrvlink context per port, and calls that turn a 0 into an exception."""
from __future__ import annotations

import weakref
from typing import Any

from ._library import library
from .errors import raise_last_failure


class Context:
    """A libQrvlink context: the whole state of one port (link, local
    module, search list, handlers, exchange lock). Freed with its owner.

    `with context:` holds the context's exchange lock (Q_CtxLock) across
    several calls, so that a write (take the record, then submit it) or a
    search pair runs whole: calls from other threads wait, in the order they
    came; this thread's own calls go straight through. Pairs nest. A handler
    calling back in fails at once in the library (argument error) instead of
    waiting for itself."""

    def __init__(self) -> None:
        lib = library()
        self.handle = lib.Q_CtxNew()
        if not self.handle:
            raise MemoryError("libQrvlink could not make a context")
        # Freeing waits for a call still running on another thread.
        self._free = weakref.finalize(self, lib.Q_CtxFree, self.handle)

    def call(self, name: str, *args: Any) -> Any:
        """libQrvlink's Q_Ctx`name` on this context; `name` as in "QRV_LoadInfo"."""
        return getattr(library(), "Q_Ctx" + name)(self.handle, *args)

    def checked(self, what: str, name: str, *args: Any) -> int:
        """As call(), raising the thread's failure when the result is 0."""
        result = self.call(name, *args)
        if not result:
            raise_last_failure(library(), what)
        return result

    def __enter__(self) -> "Context":
        self.checked("hold the port's exchanges", "Lock")
        return self

    def __exit__(self, *exc) -> None:
        library().Q_CtxUnlock(self.handle)
