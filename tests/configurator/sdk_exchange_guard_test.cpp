#include "common/sdk_exchange_guard.h"

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "gui_fixture.h"

using qrvtune::SdkExchangeGuard;
using qrvtune::SdkExchangeLease;

using SdkExchangeGuardTest = GuiTest;

TEST_F(SdkExchangeGuardTest, OneLeaseAtATimeAndMovesKeepIt) {
    SdkExchangeLease first = SdkExchangeGuard::TryAcquire();
    ASSERT_TRUE(first);
    EXPECT_TRUE(SdkExchangeGuard::Busy());
    EXPECT_FALSE(SdkExchangeGuard::TryAcquire());

    SdkExchangeLease moved = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_TRUE(moved);
    EXPECT_TRUE(SdkExchangeGuard::Busy());

    moved.Release();
    moved.Release();  // a second release must not free someone else's lease
    EXPECT_FALSE(SdkExchangeGuard::Busy());
    SdkExchangeLease again = SdkExchangeGuard::TryAcquire();
    EXPECT_TRUE(again);
    SdkExchangeLease empty;
    again = std::move(empty);  // assigning releases what the target held
    EXPECT_FALSE(SdkExchangeGuard::Busy());
}

// A worker that needs the window thread before it can end (a message box
// shown for it) must not deadlock a window-thread caller waiting for the link.
TEST_F(SdkExchangeGuardTest, WindowThreadWaitServesTheWorkersRequests) {
    SdkExchangeLease workerLease = SdkExchangeGuard::AcquireForWorker();
    ASSERT_TRUE(workerLease);
    std::promise<void> served;
    std::future<void> servedSeen = served.get_future();
    std::thread worker([lease = std::move(workerLease), &served, &servedSeen]() mutable {
        QMetaObject::invokeMethod(
            qApp, [&served] { served.set_value(); }, Qt::QueuedConnection);
        servedSeen.wait();
        lease.Release();
    });
    SdkExchangeLease mine = SdkExchangeGuard::Acquire();
    worker.join();
    EXPECT_TRUE(mine);
}

TEST_F(SdkExchangeGuardTest, NestedWindowThreadWaitGoesFirstThenTheOuterOne) {
    SdkExchangeLease workerLease = SdkExchangeGuard::AcquireForWorker();
    ASSERT_TRUE(workerLease);
    std::vector<const char*> order;
    std::atomic<bool> innerWaiting{false};
    // Runs inside the outer wait's event loop, like a page's timer would.
    QTimer::singleShot(0, qApp, [&] {
        innerWaiting = true;
        SdkExchangeLease inner = SdkExchangeGuard::Acquire();
        order.push_back(inner ? "inner" : "inner-empty");
    });
    std::thread worker([lease = std::move(workerLease), &innerWaiting]() mutable {
        while (!innerWaiting) std::this_thread::yield();
        lease.Release();
    });
    SdkExchangeLease outer = SdkExchangeGuard::Acquire();
    order.push_back(outer ? "outer" : "outer-empty");
    worker.join();
    EXPECT_EQ(order, (std::vector<const char*>{"inner", "outer"}));
}

TEST_F(SdkExchangeGuardTest, WindowThreadHoldingTheLinkGetsAnEmptyLeaseInsteadOfWaitingForItself) {
    SdkExchangeLease held = SdkExchangeGuard::Acquire();
    ASSERT_TRUE(held);
    EXPECT_FALSE(SdkExchangeGuard::Acquire());
    EXPECT_FALSE(SdkExchangeGuard::AcquireForWorker());
    EXPECT_TRUE(held);
}

TEST_F(SdkExchangeGuardTest, AnotherThreadBlocksUntilTheLinkIsFree) {
    SdkExchangeLease held = SdkExchangeGuard::Acquire();
    std::atomic<bool> acquired{false};
    std::thread other([&acquired] {
        SdkExchangeLease lease = SdkExchangeGuard::Acquire();
        acquired = static_cast<bool>(lease);
    });
    EXPECT_FALSE(acquired);
    held.Release();
    other.join();
    EXPECT_TRUE(acquired);
    EXPECT_FALSE(SdkExchangeGuard::Busy());
}
