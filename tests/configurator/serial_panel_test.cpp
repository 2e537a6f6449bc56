#include <QDir>
#include <QFile>

#include <algorithm>
#include <unistd.h>

#include "app/port_list.h"
#include "app/serial_settings.h"
#include "gui_fixture.h"

TEST(SerialSettings, ListPositionsMapToTheValuesTheSdkTakes) {
    EXPECT_EQ(BaudForPosition(0), 1200);
    EXPECT_EQ(BaudForPosition(kDefaultBaudPosition), 115200);
    EXPECT_EQ(BaudForPosition(9), 460800);
    EXPECT_EQ(DataBitsForPosition(0), 5);
    EXPECT_EQ(DataBitsForPosition(kDefaultDataBitsPosition), 8);
    EXPECT_EQ(ParityForPosition(4), 4);
    EXPECT_EQ(StopBitsForPosition(1), 1);
}

TEST(SerialSettings, NoSelectionNeverIndexesOutsideTheTables) {
    for (int position : {-1, 10, 1000}) {
        EXPECT_EQ(BaudForPosition(position), 115200);
        EXPECT_EQ(DataBitsForPosition(position), 8);
        EXPECT_EQ(ParityForPosition(position), 0);
        EXPECT_EQ(StopBitsForPosition(position), 0);
    }
}

TEST(PortNames, LabelNamesTheAdapterWhenTheSystemKnowsIt) {
    EXPECT_EQ(PortLabel(QStringLiteral("ttyUSB0"), QStringLiteral("CH340")), QStringLiteral("ttyUSB0 — CH340"));
    EXPECT_EQ(PortLabel(QStringLiteral("ttyS0"), QString()), QStringLiteral("ttyS0"));
}

TEST(PortNames, SortByTextIgnoringCase) {
    QStringList names{QStringLiteral("COM2"), QStringLiteral("com3"), QStringLiteral("COM10"),
                      QStringLiteral("/tmp/x/port"), QStringLiteral("COM1")};
    SortPortNames(names);
    const QStringList expected{QStringLiteral("/tmp/x/port"), QStringLiteral("COM1"), QStringLiteral("COM10"),
                               QStringLiteral("COM2"), QStringLiteral("com3")};
    EXPECT_EQ(names, expected);
}

using SimulatorPorts = GuiTest;

TEST_F(SimulatorPorts, AnnouncedLinksOpenByAbsolutePathAndReadByLinkName) {
    const QString dir = RuntimeDir() + QStringLiteral("/qrvsim");
    EXPECT_EQ(SimulatorPortDir(), dir);
    ASSERT_TRUE(QDir().mkpath(dir));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir + QStringLiteral("/module-b")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir + QStringLiteral("/module-a")));
    QFile other(dir + QStringLiteral("/sim.pid"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));

    const QList<PortEntry> ports = AvailablePorts();
    const auto at = [&](const QString& name) {
        return std::find_if(ports.begin(), ports.end(), [&](const PortEntry& p) { return p.name == name; });
    };
    const auto a = at(dir + QStringLiteral("/module-a"));
    ASSERT_NE(a, ports.end());
    EXPECT_EQ(std::next(a), at(dir + QStringLiteral("/module-b")));
    EXPECT_EQ(a->label, QStringLiteral("module-a — qrvsim 模拟网络"));
    EXPECT_EQ(a->details, dir + QStringLiteral("/module-a"));
    EXPECT_EQ(at(dir + QStringLiteral("/sim.pid")), ports.end());
}

TEST_F(SimulatorPorts, WithoutRuntimeDirectoryTheUsersTmpFolderIsUsed) {
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SimulatorPortDir(), QStringLiteral("/tmp/qrvsim-%1").arg(::getuid()));
}
