"""A qrvsim of the built-in network on a pty, for the tests' lifetime."""
import os
import subprocess
import unittest

BAUD = 9600  # a 41 ms read interval rides out a busy machine
P2P_NODE, IO_NODE, RELAY_NODE = 0x0102, 0x0203, 0x0304


class SimulatedNetwork(unittest.TestCase):
    """Starts the simulator once per class (QRVSIM names it) and opens a
    fresh port for every test."""

    @classmethod
    def setUpClass(cls):
        cls.sim = subprocess.Popen([os.environ["QRVSIM"], "--no-announce", "--baud", str(BAUD)],
                                   stdout=subprocess.PIPE, text=True)
        cls.path = cls.sim.stdout.readline().strip()
        if not cls.path:
            cls.sim.kill()
            raise RuntimeError("qrvsim did not start")

    @classmethod
    def tearDownClass(cls):
        cls.sim.terminate()
        cls.sim.wait(10)
        cls.sim.stdout.close()

    def setUp(self):
        import qrvlink
        self.port = qrvlink.Port(self.path, baud=BAUD)
        self.addCleanup(self.port.close)

    def far(self, *addresses):
        """The far modules at `addresses` on channel 11 at 250K, found by one
        search (a search invalidates the modules of the one before)."""
        found = {m.identity.address: m for m in self.port.search(channels=11, rates=0)}
        modules = [found[address] for address in addresses]
        return modules[0] if len(modules) == 1 else modules
