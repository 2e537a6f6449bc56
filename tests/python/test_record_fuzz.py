"""The record conversion on random bytes and random text, seeded: a record
read and written back unchanged gives its bytes exactly; a text either
fits and reads back as given, or is refused with ValueError and nothing
else. QRVLINK_RECORD_ROUNDS=200000 runs longer by hand."""
import os
import random
import unittest

import qrvlink
from qrvlink._library import ModuleProperty

ROUNDS = int(os.environ.get("QRVLINK_RECORD_ROUNDS", "3000"))
# Letters, GBK's Chinese and symbols, the euro of code page 936, what GBK
# lacks (emoji), control characters and NUL.
ALPHABET = "aZ9 -_车间一号本地主机€😀\u00e9\u0001\n\0\ufffd"


class RecordFuzz(unittest.TestCase):
    def test_random_records_and_texts(self):
        rng = random.Random(26)
        for _ in range(ROUNDS):
            raw = bytes(rng.getrandbits(8) for _ in range(57))
            record = qrvlink.ModuleRecord.from_struct(ModuleProperty.from_buffer_copy(raw))
            self.assertEqual(bytes(record.to_struct()), raw)

            field = rng.choice(("name", "password"))
            text = "".join(rng.choice(ALPHABET) for _ in range(rng.randint(0, 18)))
            try:
                written = record.replace(**{field: text}).to_struct()
            except ValueError:
                continue
            back = qrvlink.ModuleRecord.from_struct(written)
            self.assertEqual(getattr(back, field), text, repr(text))
            # The other bytes of the record stay as they were read.
            other = "password" if field == "name" else "name"
            self.assertEqual(getattr(back, other), getattr(record, other))


if __name__ == "__main__":
    unittest.main()
