#include "comm/Interact.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace {

std::unique_ptr<TInteractContainer> MakeContainer()
{
    return std::make_unique<TInteractContainer>(std::make_unique<TInteract>());
}

TEST(TInteract, MessagesComeOutInOrder)
{
    TInteract state;
    state.PushMessage("A");
    state.PushMessage("B");
    state.PushMessage("C");
    EXPECT_EQ(state.MessageCount(), 3u);
    EXPECT_EQ(state.PopMessage(), "A");
    EXPECT_EQ(state.PopMessage(), "B");
    EXPECT_EQ(state.PopMessage(), "C");
    EXPECT_EQ(state.PopMessage(), "");
    EXPECT_EQ(state.MessageCount(), 0u);
}

TEST(TInteract, StatusFlagIsSetByEverySetAndClearedOnlyOnRequest)
{
    TInteract state;
    state.SetStatus("Чтение");
    state.SetStatusChanged(false);
    state.SetStatus("Чтение");
    EXPECT_TRUE(state.StatusChanged());
    EXPECT_EQ(state.GetStatus(), "Чтение");
    EXPECT_TRUE(state.StatusChanged());
    state.SetStatusChanged(false);
    EXPECT_FALSE(state.StatusChanged());
}

TEST(TInteractContainer, TryLockOnAHeldLockReturnsNoneAtOnce)
{
    auto container = MakeContainer();
    ASSERT_NE(container->Lock(), nullptr);
    auto other = std::async(std::launch::async, [&] { return container->TryLock(); });
    EXPECT_EQ(other.get(), nullptr);
    container->Unlock();

    TInteract* state = container->TryLock();
    ASSERT_NE(state, nullptr);
    // Taken now: another thread cannot have it.
    EXPECT_EQ(std::async(std::launch::async, [&] { return container->TryLock(); }).get(), nullptr);
    container->Unlock();
}

TEST(TInteractContainer, LockWaitsForTheHolder)
{
    auto container = MakeContainer();
    TInteract* held = container->Lock();
    ASSERT_NE(held, nullptr);
    std::atomic<bool> acquired{false};
    std::thread waiter([&] {
        TInteractLock state(*container);
        acquired = true;
        state->SetProgress(50);
    });
    // The waiter cannot get past Lock while we hold it; give it every chance to try.
    for (int i = 0; i < 100; ++i)
        std::this_thread::yield();
    EXPECT_FALSE(acquired.load());
    held->SetProgress(10);
    container->Unlock();
    waiter.join();
    EXPECT_TRUE(acquired.load());
    TInteractLock state(*container);
    EXPECT_EQ(state->GetProgress(), 50);
}

TEST(CheckProcessAborted, ThrowsTheExactTextAndLeavesTheLockFree)
{
    auto container = MakeContainer();
    EXPECT_NO_THROW(CheckProcessAborted(container.get()));
    EXPECT_NE(container->TryLock(), nullptr);
    container->Unlock();

    std::thread([&] {
        TInteractLock state(*container);
        state->SetAbort(true);
    }).join();
    try {
        CheckProcessAborted(container.get());
        FAIL() << "no exception";
    } catch (const platform::Exception& e) {
        EXPECT_EQ(e.Message(), "Выполнение процесса прервано");
    }
    EXPECT_NE(container->TryLock(), nullptr);
    container->Unlock();
    EXPECT_NO_THROW(CheckProcessAborted(nullptr));
}

// A derived record that says when it is freed.
class CountedInteract : public TInteract {
public:
    explicit CountedInteract(int* deleted) : deleted_(deleted) {}
    ~CountedInteract() override { ++*deleted_; }
    int32_t InteractType() const override { return 2; }

private:
    int* deleted_;
};

TEST(TInteractContainer, OwnsItsStateThroughTheVirtualDestructor)
{
    int deleted = 0;
    {
        TInteractContainer container(std::make_unique<CountedInteract>(&deleted));
        EXPECT_EQ(TInteractLock(container)->InteractType(), 2);
        container.Reset(std::make_unique<CountedInteract>(&deleted));
        EXPECT_EQ(deleted, 1);
    }
    EXPECT_EQ(deleted, 2);
}

TEST(TInteractContainer, AnEmptyContainerGivesNoneWithoutLocking)
{
    TInteractContainer container(nullptr);
    EXPECT_EQ(container.Lock(), nullptr);
    EXPECT_EQ(container.TryLock(), nullptr);
    TInteractLock state(container);
    EXPECT_FALSE(state);
    EXPECT_NO_THROW(CheckProcessAborted(&container));
}

TEST(TInteractContainer, WorkerAndReaderAgreeOnEveryMessage)
{
    auto container = MakeContainer();
    constexpr int kMessages = 2000;
    std::thread worker([&] {
        for (int i = 0; i < kMessages; ++i) {
            TInteractLock state(*container);
            state->PushMessage(std::to_string(i));
            state->SetProgress(i * 100 / kMessages);
        }
        TInteractLock state(*container);
        state->SetDone(true);
    });
    int next = 0;
    bool done = false;
    while (!done) {
        TInteractLock state(*container);
        while (state->MessageCount() > 0)
            ASSERT_EQ(state->PopMessage(), std::to_string(next++));
        done = state->GetDone() && state->MessageCount() == 0;
    }
    worker.join();
    EXPECT_EQ(next, kMessages);
}

} // namespace
