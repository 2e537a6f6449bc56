"""The Python package against the shared table of field values."""
import csv
import os
import re
import unittest

import qrvlink
from qrvlink.fields import BY_ATTRIBUTE, NUMBER, TEXT

CASES = os.path.join(os.path.dirname(__file__), "..", "support", "field_cases.csv")


def cases():
    with open(CASES, encoding="utf-8") as table:
        rows = csv.reader(line for line in table if not line.startswith("#"))
        next(rows)
        for field, value, accepted in rows:
            value = re.sub(r"\\x([0-9A-Fa-f]{2})", lambda m: chr(int(m.group(1), 16)), value)
            yield field, value, accepted == "yes"


def as_python(field, text):
    # Numbers as ints; names (of named and coded values) and texts as text.
    kind = BY_ATTRIBUTE[field.replace("-", "_")].kind
    if kind == NUMBER:
        try:
            return int(text, 0)
        except ValueError:
            return text
    return text


class FieldCases(unittest.TestCase):
    def test_the_package_agrees_with_the_shared_table(self):
        record = qrvlink.ModuleRecord(channel=11, uart_data_bits=8, uart_stop_bits=1)
        rows = list(cases())
        self.assertGreater(len(rows), 50)
        for field, text, accepted in rows:
            attribute = field.replace("-", "_")
            with self.subTest(field=field, value=text):
                try:
                    record.replace(**{attribute: as_python(field, text)}).to_struct()
                    taken = True
                except qrvlink.ArgumentError as error:
                    taken = False
                    self.assertIn(attribute, str(error))
                    if BY_ATTRIBUTE[attribute].kind != TEXT:
                        self.assertIn(BY_ATTRIBUTE[attribute].rule(), str(error))
                self.assertEqual(taken, accepted)

    def test_named_values_come_as_enums(self):
        record = qrvlink.ModuleRecord().replace(air_rate="1M", uart_parity="even", work_mode="host")
        self.assertIs(record.air_rate, qrvlink.AirRate.R1M)
        self.assertIs(record.uart_parity, qrvlink.Parity.EVEN)
        self.assertIs(record.work_mode, qrvlink.WorkMode.HOST)
        self.assertEqual(record.replace(uart_baud="115200").uart_baud, 7)
        record.air_rate = "500K"  # by assignment: taken at write
        self.assertEqual(record.to_struct().AirRate, qrvlink.AirRate.R500K)
        self.assertEqual([qrvlink.DeviceType.QRV, qrvlink.RunState.USER], [0x10, 0xAA])

    def test_the_password_never_shows_in_a_refusal(self):
        with self.assertRaises(qrvlink.ArgumentError) as caught:
            qrvlink.ModuleRecord().replace(password="secret-but-far-too-long")
        self.assertNotIn("secret", str(caught.exception))


if __name__ == "__main__":
    unittest.main()
