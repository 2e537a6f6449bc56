#include <QDir>
#include <QFile>

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

TEST(PortNames, SortByTextIgnoringCase) {
    QStringList names{QStringLiteral("COM2"), QStringLiteral("com3"), QStringLiteral("COM10"),
                      QStringLiteral("/tmp/x/port"), QStringLiteral("COM1")};
    SortPortNames(names);
    const QStringList expected{QStringLiteral("/tmp/x/port"), QStringLiteral("COM1"), QStringLiteral("COM10"),
                               QStringLiteral("COM2"), QStringLiteral("com3")};
    EXPECT_EQ(names, expected);
}

using SimulatorPorts = GuiTest;

TEST_F(SimulatorPorts, AnnouncedLinksAreListedByAbsolutePath) {
    const QString dir = RuntimeDir() + QStringLiteral("/qrvsim");
    EXPECT_EQ(SimulatorPortDir(), dir);
    ASSERT_TRUE(QDir().mkpath(dir));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir + QStringLiteral("/module-b")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), dir + QStringLiteral("/module-a")));
    QFile other(dir + QStringLiteral("/sim.pid"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));

    const QStringList ports = AvailablePortNames();
    const qsizetype a = ports.indexOf(dir + QStringLiteral("/module-a"));
    const qsizetype b = ports.indexOf(dir + QStringLiteral("/module-b"));
    ASSERT_GE(a, 0);
    EXPECT_EQ(b, a + 1);
    EXPECT_FALSE(ports.contains(dir + QStringLiteral("/sim.pid")));
}

TEST_F(SimulatorPorts, WithoutRuntimeDirectoryTheUsersTmpFolderIsUsed) {
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(SimulatorPortDir(), QStringLiteral("/tmp/qrvsim-%1").arg(::getuid()));
}
