"""The qrvlink package: records and errors alone, then against qrvsim."""
import os
import struct
import tempfile
import threading
import time
import unittest

import qrvlink
from qrvlink._library import ModuleProperty
from simulated import BAUD, IO_NODE, P2P_NODE, RELAY_NODE, SimulatedNetwork


class Errors(unittest.TestCase):
    def test_each_reason_raises_its_kind(self):
        F = qrvlink.Failure
        table = [  # reason, class, built-in kind callers may catch instead
            (F.PORT_NOT_OPEN, qrvlink.PortNotOpenError, None),
            (F.PORT_NOT_FOUND, qrvlink.PortNotFoundError, FileNotFoundError),
            (F.PORT_PERMISSION, qrvlink.PortPermissionError, PermissionError),
            (F.PORT_BUSY, qrvlink.PortBusyError, None),
            (F.PORT_NOT_SERIAL, qrvlink.PortNotSerialError, None),
            (F.PORT_SETTINGS, qrvlink.PortSettingsError, None),
            (F.PORT_LOST, qrvlink.PortLostError, None),
            (F.WRITE, qrvlink.WriteError, None),
            (F.NO_ANSWER, qrvlink.NoAnswerError, TimeoutError),
            (F.BAD_ANSWER, qrvlink.BadAnswerError, None),
            (F.REFUSED, qrvlink.RefusedError, None),
            (F.ARGUMENT, qrvlink.ArgumentError, ValueError),
            (F.NOT_LOADED, qrvlink.NotLoadedError, None),
            (F.IMAGE, qrvlink.ImageError, None),
            (99, qrvlink.QrvError, None),
        ]
        for reason, kind, builtin in table:
            with self.subTest(reason=reason):
                error = qrvlink.errors.error_for(reason, "the detail", 13)
                self.assertIs(type(error), kind)
                self.assertEqual((error.reason, error.detail, error.os_error, str(error)),
                                 (reason, "the detail", 13, "the detail"))
                if builtin is not None:
                    self.assertIsInstance(error, builtin)
        self.assertEqual(qrvlink.errors.error_for(F.PORT_PERMISSION, "x", 13).errno, 13)

    def test_opening_what_is_no_port(self):
        for path, kind in [("/nonexistent/ttyQ9", qrvlink.PortNotFoundError),
                           ("/dev/null", qrvlink.PortNotSerialError),
                           ("", qrvlink.ArgumentError)]:
            with self.subTest(path=path), self.assertRaises(kind) as caught:
                qrvlink.Port(path)
            self.assertTrue(caught.exception.detail or not path)
            if path:
                self.assertEqual(caught.exception.facts.path, path)


class Record(unittest.TestCase):
    def test_unedited_name_keeps_its_bytes_edited_one_is_gbk(self):
        raw = ModuleProperty()
        raw.DevName = b"\xff\x30AB"  # not GBK: decodes with a replacement
        raw.Password = b"123456\0junk"
        raw.Channel = 11
        record = qrvlink.ModuleRecord.from_struct(raw)
        self.assertEqual((record.channel, record.password), (11, "123456"))
        self.assertEqual(bytes(record.to_struct()), bytes(raw))
        renamed = record.replace(name="车间一号€").to_struct()
        self.assertEqual(renamed.DevName, "车间一号".encode("gbk") + b"\x80")  # code page 936's euro
        self.assertEqual(bytes(renamed)[9:16], bytes(7))
        self.assertEqual(qrvlink.ModuleRecord.from_struct(renamed).name, "车间一号€")
        self.assertEqual(bytes(renamed)[16:], bytes(raw)[16:])

    def test_values_that_do_not_fit_are_refused(self):
        record = qrvlink.ModuleRecord()
        for change in [{"channel": 256}, {"net_id": 0x10000}, {"retry_count": -1},
                       {"name": "名" * 8}, {"password": "😀"}, {"air_rate": "2M"}]:
            with self.subTest(change=change), self.assertRaises(ValueError):
                record.replace(**change).to_struct()


def firmware_image(folder, blocks=2, version=16):
    # Five words: first region start/end (none), second start/end, version.
    path = os.path.join(folder, "image.bin")
    with open(path, "wb") as image:
        image.write(struct.pack("<5i", 0, 0, 0x0800, 0x0800 + 64 * blocks, version))
        image.write(bytes(64 * blocks))
    return path


class OnSimulator(SimulatedNetwork):
    def test_local_record_round_trip_with_gbk_name(self):
        local = self.port.local
        before = local.read()
        self.assertEqual((before.name, local.identity.address), ("本地主机", 0x0001))
        local.write(before.replace(name="车间一号", retry_count=7))
        self.assertIsNone(local.identity)  # the address may have changed: read again
        after = local.read()
        self.assertEqual(after, before.replace(name="车间一号", retry_count=7))
        local.write(before)
        self.assertEqual(local.read().name, "本地主机")

    def test_search_yields_each_module_as_it_answers(self):
        self.port.local.read()
        heard, yielded, read_at = [], [], []
        start = time.monotonic()
        for module in self.port.search(channels=[11, 26], rates=["250K", "1M"], on_found=heard.append):
            yielded.append((module, time.monotonic() - start))
            if not read_at:  # a call in the loop waits for the pair, not for the sweep
                self.assertEqual(module.read().name, "P2P-Node-A")
                read_at.append(time.monotonic() - start)
        took = time.monotonic() - start
        found = {m.identity.address: (m.channel, m.rate) for m, _ in yielded}
        self.assertEqual(found, {P2P_NODE: (11, 0), IO_NODE: (11, 0), 0x0506: (11, 0), RELAY_NODE: (26, 2)})
        self.assertEqual(heard, [m for m, _ in yielded])
        # Three silent pairs follow the first: at least three read time-outs each.
        self.assertLess(yielded[0][1], took - 3 * 3 * 0.5)
        self.assertLess(read_at[0], took - 4.0)  # three pairs of three read time-outs or more follow
        stale = yielded[0][0]
        self.port.clear_search()
        with self.assertRaises(qrvlink.ArgumentError):
            stale.read()

    def test_far_io_and_a_module_without_io(self):
        io, p2p = self.far(IO_NODE, P2P_NODE)
        io.set_directions(0x0F)
        io.set_outputs(0b0101)
        self.assertEqual(io.read_inputs() & 0b0101, 0b0101)  # outputs wired to inputs
        self.assertTrue(all(0 <= mv <= 3300 for mv in io.read_analogue()))
        with self.assertRaises(qrvlink.NoAnswerError) as caught:
            p2p.read_inputs()
        self.assertIn("no answer", caught.exception.detail)
        facts = caught.exception.facts
        self.assertEqual((facts.path, facts.baud_rate), (self.port.path, self.port.baud))
        self.assertGreater(facts.timeout_ms, 0)

    def test_upgrade_reports_progress_and_refuses_a_bad_image(self):
        self.port.local.read()
        node = self.far(P2P_NODE)
        before = node.read().firmware_version
        steps = []
        with tempfile.TemporaryDirectory() as folder:
            node.upgrade(firmware_image(folder, blocks=3), progress=lambda *step: steps.append(step))
            self.assertEqual(steps, [(1, 3), (2, 3), (3, 3)])
            self.assertEqual(node.read().firmware_version, before + 1)
            with self.assertRaises(qrvlink.ImageError) as caught:
                node.upgrade(firmware_image(folder, version=15))
        self.assertEqual(caught.exception.messages, ("固件版本不对",))

    def test_two_threads_each_get_their_own_outcome(self):
        self.port.local.read()
        io, p2p = self.far(IO_NODE, P2P_NODE)
        outcomes = {}

        def run(name, call):
            try:
                outcomes[name] = [call() for _ in range(4)]
            except qrvlink.QrvError as error:
                outcomes[name] = error

        threads = [threading.Thread(target=run, args=("io", io.read_analogue)),
                   threading.Thread(target=run, args=("p2p", p2p.read_inputs)),
                   threading.Thread(target=run, args=("local", self.port.local.read))]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        self.assertEqual(len(outcomes["io"]), 4)
        self.assertEqual([r.name for r in outcomes["local"]], ["本地主机"] * 4)
        self.assertIsInstance(outcomes["p2p"], qrvlink.NoAnswerError)

    def test_a_second_port_leaves_the_first_open_and_a_closed_one_refuses_calls(self):
        # Each Port has its own context: opening another does not take over.
        # The pty admits one opener at a time, so the second one is refused
        # as busy while the first still works.
        with self.assertRaises(qrvlink.PortBusyError):
            qrvlink.Port(self.path, baud=BAUD)
        self.assertEqual(self.port.local.read().name, "本地主机")
        self.port.close()
        with self.assertRaises(qrvlink.PortNotOpenError):
            self.port.local.read()


if __name__ == "__main__":
    unittest.main()
