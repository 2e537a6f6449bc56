#include <QTest>

#include <atomic>
#include <thread>

#include "gui_fixture.h"
#include "toolkit/qt_toolkit.h"
#include "toolkit/window_timers.h"
#include "toolkit/worker_thread.h"

TEST(QtFileFilter, TurnsPipeFiltersIntoQtFilters) {
    EXPECT_EQ(qrvtune::QtFileFilter(QStringLiteral("bin Files (*.bin)|*.bin||")), QStringLiteral("bin Files (*.bin)"));
    EXPECT_EQ(qrvtune::QtFileFilter(QStringLiteral("Images|*.png;*.bmp|All|*.*||")),
              QStringLiteral("Images (*.png *.bmp);;All (*.*)"));
}

TEST(WorkerThread, WaitTimesOutWhileTheWorkerRunsAndSucceedsAfter) {
    std::atomic<bool> started{false};
    std::atomic<bool> release{false};
    auto worker = qrvtune::WorkerThread::Start([&] {
        started = true;
        while (!release) std::this_thread::yield();
    });
    while (!started) std::this_thread::yield();
    EXPECT_FALSE(worker.Wait(20));
    release = true;
    EXPECT_TRUE(worker.Wait(10000));
    EXPECT_TRUE(worker.Finished());
}

TEST(WorkerThread, OutlivesItsHandle) {
    std::atomic<bool> done{false};
    { qrvtune::WorkerThread::Start([&] { done = true; }); }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_TRUE(done);
}

using WindowTimers = GuiTest;

TEST_F(WindowTimers, TicksCarryTheirIdOnTheWindowThreadUntilStopped) {
    QObject window;
    std::vector<int> ticks;
    qrvtune::WindowTimers timers(&window, [&](int id) {
        EXPECT_EQ(QThread::currentThread(), window.thread());
        ticks.push_back(id);
    });
    timers.Start(1025, 5);
    EXPECT_TRUE(timers.IsRunning(1025));
    EXPECT_FALSE(timers.IsRunning(769));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 2; }, 10000));
    timers.Stop(1025);
    EXPECT_FALSE(timers.IsRunning(1025));
    EXPECT_EQ(ticks.front(), 1025);
}

using CapturingToolkitTest = GuiTest;

TEST_F(CapturingToolkitTest, RecordsMessagesFromAnyThreadAndScriptsFileAnswers) {
    std::thread worker([] { qrvtune::ShowMessage(QStringLiteral("from worker"), qrvtune::MessageIcon::Error); });
    worker.join();
    qrvtune::ShowMessage(QStringLiteral("修改成功   "), qrvtune::MessageIcon::Information);
    const std::vector<CapturedMessage> expected{{QStringLiteral("from worker"), qrvtune::MessageIcon::Error},
                                                {QStringLiteral("修改成功   "), qrvtune::MessageIcon::Information}};
    EXPECT_EQ(toolkit_.Messages(), expected);

    toolkit_.ScriptFileAnswer(QStringLiteral("/fw/a.bin"));
    EXPECT_EQ(qrvtune::CurrentToolkit().OpenFileName(nullptr, QStringLiteral("bin Files (*.bin)|*.bin||")),
              QStringLiteral("/fw/a.bin"));
    EXPECT_EQ(qrvtune::CurrentToolkit().OpenFileName(nullptr, QStringLiteral("x")), std::nullopt);
}
