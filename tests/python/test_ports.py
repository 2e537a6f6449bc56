"""Several ports in one process, the port list, detection and what the
objects show of themselves."""
import os
import subprocess
import tempfile
import threading
import unittest
from pathlib import Path

import qrvlink
from simulated import BAUD, IO_NODE, P2P_NODE

_home = tempfile.TemporaryDirectory()


def setUpModule():
    # Nothing here may touch the real user's files.
    os.environ["HOME"] = _home.name
    os.environ["XDG_CONFIG_HOME"] = os.path.join(_home.name, ".config")
    os.environ["XDG_RUNTIME_DIR"] = os.path.join(_home.name, "run")


def tearDownModule():
    _home.cleanup()


def start_simulator(test):
    sim = subprocess.Popen([os.environ["QRVSIM"], "--no-announce", "--baud", str(BAUD)],
                           stdout=subprocess.PIPE, text=True)
    path = sim.stdout.readline().strip()

    def stop():
        sim.terminate()
        sim.wait(10)
        sim.stdout.close()
    test.addCleanup(stop)
    test.assertTrue(path, "qrvsim did not start")
    return path


def search_addresses(port):
    return sorted(m.identity.address for m in port.search(channels=11, rates=0))


def write_and_read_back(port):
    record = port.local.read()
    port.local.write(record.replace(name="Line-7"))
    return port.local.read().name


class TwoPorts(unittest.TestCase):
    def test_two_ports_from_two_threads_give_what_they_give_one_after_the_other(self):
        results = {}
        for mode in ("alone", "together"):
            a = qrvlink.Port(start_simulator(self), baud=BAUD)
            b = qrvlink.Port(start_simulator(self), baud=BAUD)
            self.addCleanup(a.close)
            self.addCleanup(b.close)
            if mode == "alone":
                results[mode] = (search_addresses(a), write_and_read_back(b))
                continue
            got = {}
            other = threading.Thread(target=lambda: got.update(b=write_and_read_back(b)))
            other.start()
            got["a"] = search_addresses(a)
            other.join()
            results[mode] = (got["a"], got["b"])
        self.assertEqual(results["alone"], ([P2P_NODE, IO_NODE, 0x0506], "Line-7"))
        self.assertEqual(results["together"], results["alone"])

    def test_repr_says_what_they_are(self):
        path = start_simulator(self)
        with qrvlink.Port(path, baud=BAUD) as port:
            self.assertEqual(repr(port), f"<qrvlink.Port {path!r} baud={BAUD} open>")
            self.assertIn("not read yet", repr(port.local))
            port.local.read()
            self.assertIn("address=0x0001, VLX IO", repr(port.local))
            far = next(iter(port.search(channels=11, rates=0, address=P2P_NODE)))
            self.assertRegex(repr(far), r"0x0102, QRV.*entry 0 on channel 11 rate 250K")
        self.assertTrue(repr(port).endswith("closed>"))


class Discovery(unittest.TestCase):
    def test_ports_from_a_copy_of_sysfs(self):
        with tempfile.TemporaryDirectory() as root:
            root = Path(root)
            usb = root / "devices/usb1/1-1"
            tty_device = usb / "1-1:1.0/ttyUSB0"
            tty_device.mkdir(parents=True)
            (usb / "1-1:1.0/driver").parent.mkdir(parents=True, exist_ok=True)
            os.symlink(root / "drivers/ch341-uart", usb / "1-1:1.0/driver")
            for name, text in {"idVendor": "1a86", "idProduct": "7523", "serial": "A10K3X",
                               "manufacturer": "QinHeng", "product": "USB Serial"}.items():
                (usb / name).write_text(text + "\n")
            classes = root / "class/tty"
            for name, device in {"ttyUSB0": tty_device, "tty0": None, "ttyS3": root / "devices/serial"}.items():
                (classes / name).mkdir(parents=True)
                if device is not None:
                    device.mkdir(parents=True, exist_ok=True)
                    os.symlink(device, classes / name / "device")
            (classes / "ttyS3/type").write_text("0\n")
            by_id = root / "by-id"
            by_id.mkdir()
            os.symlink("../../ttyUSB0", by_id / "usb-1a86_USB_Serial_A10K3X-if00-port0")
            sims = root / "sims"
            sims.mkdir()
            os.symlink("/dev/pts/9", sims / "qrvsim0")
            (sims / "notes.txt").write_text("not a port")
            found = qrvlink.ports(sys_class_tty=str(classes), dev="/dev", by_id=str(by_id), simulators=str(sims))
        self.assertEqual([p.path for p in found], ["/dev/ttyUSB0", str(sims / "qrvsim0")])
        usb_port, simulated = found
        self.assertEqual((usb_port.usb_vendor, usb_port.usb_product, usb_port.serial_number,
                          usb_port.description, usb_port.driver),
                         (0x1A86, 0x7523, "A10K3X", "CH340", "ch341-uart"))
        self.assertTrue(usb_port.by_id.endswith("usb-1a86_USB_Serial_A10K3X-if00-port0"))
        self.assertIn("USB 1A86:7523 serial A10K3X", repr(usb_port))
        self.assertTrue(simulated.simulated)
        self.assertEqual(simulated.description, "module simulator (/dev/pts/9)")

    def test_detect_finds_the_rate_and_skips_what_is_no_port(self):
        path = start_simulator(self)
        found = qrvlink.detect([path, "/dev/qrvlink-no-such-port"], rates=(19200, BAUD))
        self.assertEqual(len(found), 1)
        self.assertEqual((found[0].port, found[0].baud, found[0].identity.address), (path, BAUD, 0x0001))
        self.assertIn(f"at {BAUD}", repr(found[0]))


if __name__ == "__main__":
    unittest.main()
