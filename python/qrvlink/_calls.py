"""The one lock every exchange takes, and calls that turn a 0 into an exception."""
from __future__ import annotations

import threading
from typing import Any

from ._library import library
from .errors import raise_last_failure

# The library holds one port, one local module and one search list for the
# whole process, and a write is two calls (take the record, then submit it):
# one lock for the process keeps another thread's record or search out of
# the middle. Re-entrant, so that a compound operation can take it around
# its steps; a handler calling back in then fails at once in the library
# (argument error) instead of waiting for itself.
LOCK = threading.RLock()


def checked(what: str, name: str, *args: Any) -> int:
    """Calls libQrvlink's `name` and raises the thread's failure when it
    returns 0. The caller holds LOCK when the call is part of a sequence."""
    lib = library()
    with LOCK:
        result = getattr(lib, name)(*args)
        if not result:
            raise_last_failure(lib, what)
    return result
