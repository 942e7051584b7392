#include "device/ProcessThread.h"

#include "LambdaAlgorithm.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;
using testsupport::LambdaAlgorithm;
using testsupport::UntilAborted;

// Polls until the pool is empty; fails instead of hanging.
void PollUntilEmpty(ProcessPool& pool, const std::function<void(const std::string&)>& print)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (pool.Count() > 0) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "processes did not finish";
        pool.Poll(print);
        std::this_thread::yield();
    }
}

TEST(ProcessAlgorithm, Percent)
{
    struct Case {
        int32_t done, offset, total, percent;
    };
    const Case cases[] = {{5, 0, 0, 0}, {3, 0, 7, 42}, {8, 0, 7, 100}, {0, 0, 7, 0}, {7, 0, 7, 100}, {1, 2, 6, 50}};
    for (const auto& c : cases)
        EXPECT_EQ(ProcessAlgorithm::Percent(c.done, c.offset, c.total), c.percent) << c.done << "/" << c.total;
}

TEST(ProcessAlgorithm, HelpersWithoutContainerDoNothing)
{
    ProcessAlgorithm algorithm;
    EXPECT_NO_THROW(algorithm.CheckAbort());
    EXPECT_NO_THROW(algorithm.UpdateProgress());
    EXPECT_NO_THROW(algorithm.SetStatus("x"));
}

TEST(ProcessPool, EntriesAddFindAndRefuseTheEleventh)
{
    ProcessPool pool;
    for (int i = 0; i < ProcessPool::kMaxProcesses; ++i) {
        auto* entry = pool.Add(i == 3 || i == 5 ? 2 : 0);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->Id, -1);
    }
    EXPECT_EQ(pool.Add(0), nullptr);
    EXPECT_EQ(pool.Count(), 10);
    EXPECT_EQ(pool.FindByKind(2), pool.Item(3));
    EXPECT_EQ(pool.FindByKind(7), nullptr);
    EXPECT_EQ(pool.Item(-1), nullptr);
    EXPECT_EQ(pool.Item(10), nullptr);
    pool.Remove(pool.Item(0));
    pool.Remove(nullptr);
    EXPECT_EQ(pool.Count(), 9);
    EXPECT_NE(pool.Add(0), nullptr);
}

TEST(ProcessPool, StartRefusesTheEleventhProcessAndDestroysItsAlgorithm)
{
    std::atomic<int> destroyed{0};
    {
        ProcessPool pool;
        for (int i = 0; i < ProcessPool::kMaxProcesses; ++i)
            ASSERT_NE(pool.Start(std::make_unique<LambdaAlgorithm>(UntilAborted, &destroyed), 0, i, ""), nullptr);
        EXPECT_EQ(pool.Start(std::make_unique<LambdaAlgorithm>(UntilAborted, &destroyed), 0, 10, ""), nullptr);
        EXPECT_EQ(destroyed.load(), 1);
        EXPECT_EQ(pool.Count(), 10);
    }
    // The pool's destruction stopped and joined every worker and freed every algorithm.
    EXPECT_EQ(destroyed.load(), 11);
}

struct Outcome {
    std::vector<std::string> printed;
    std::vector<int32_t> progress;
    int32_t doneId = -100;
    int32_t errorId = -100;
    int32_t errorCode = 0;
};

Outcome RunToEnd(std::function<void(ProcessAlgorithm&)> body, int32_t id, std::string finalMessage)
{
    Outcome outcome;
    ProcessPool pool;
    auto* entry = pool.Start(std::make_unique<LambdaAlgorithm>(std::move(body)), 0, id, std::move(finalMessage));
    if (!entry)
        return outcome;
    entry->OnDone = [&](int32_t doneId) { outcome.doneId = doneId; };
    entry->OnError = [&](int32_t errorId, int32_t code) {
        outcome.errorId = errorId;
        outcome.errorCode = code;
    };
    entry->OnProgress = [&](int32_t percent) { outcome.progress.push_back(percent); };
    PollUntilEmpty(pool, [&](const std::string& text) { outcome.printed.push_back(text); });
    return outcome;
}

TEST(ProcessPool, ASuccessfulRunCallsDoneAndPrintsTheFinalMessage)
{
    const Outcome outcome = RunToEnd(
        [](ProcessAlgorithm& algorithm) {
            algorithm.Total = 2;
            algorithm.Done = 1;
            algorithm.UpdateProgress();
            if (auto* container = algorithm.Container) {
                TInteractLock state(*container);
                state->PushMessage("строка обмена");
            }
        },
        -1, "Конфигурация ТС1 установлена");
    EXPECT_EQ(outcome.doneId, -1);
    EXPECT_EQ(outcome.errorId, -100);
    EXPECT_EQ(outcome.printed, (std::vector<std::string>{"строка обмена", "Конфигурация ТС1 установлена"}));
    ASSERT_FALSE(outcome.progress.empty());
    EXPECT_EQ(outcome.progress.back(), 0);
}

TEST(ProcessPool, FailuresEndWithErrorThreeAndTheirMessageLast)
{
    struct Case {
        const char* name;
        std::function<void(ProcessAlgorithm&)> body;
        const char* lastMessage;
    };
    const Case cases[] = {
        {"our exception", [](ProcessAlgorithm&) { throw platform::Exception("Прибор не отвечает"); },
         "Прибор не отвечает"},
        {"standard exception", [](ProcessAlgorithm&) { throw std::runtime_error("boom"); }, "boom"},
        {"anything else", [](ProcessAlgorithm&) { throw 42; }, "Неизвестная ошибка"},
        {"our exception without text", [](ProcessAlgorithm&) { throw platform::Exception(""); },
         "Неизвестная ошибка"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunToEnd(c.body, 17, "не печатается");
        EXPECT_EQ(outcome.errorId, 17) << c.name;
        EXPECT_EQ(outcome.errorCode, 3) << c.name;
        EXPECT_EQ(outcome.doneId, -100) << c.name;
        ASSERT_FALSE(outcome.printed.empty()) << c.name;
        EXPECT_EQ(outcome.printed.back(), c.lastMessage) << c.name;
    }
}

TEST(ProcessPool, TheMessageIsQueuedBeforeDoneIsSet)
{
    TInteractContainer container(std::make_unique<TInteract>());
    LambdaAlgorithm algorithm([](ProcessAlgorithm&) { throw platform::Exception("x"); });
    algorithm.Container = &container;
    AlgorithmThread::Execute(&algorithm, &container);
    TInteractLock state(container);
    EXPECT_TRUE(state->GetDone());
    EXPECT_EQ(state->GetError(), 3);
    EXPECT_EQ(state->PopMessage(), "x");
}

TEST(ProcessPool, DestroyingThePoolAbortsAndJoinsEveryWorker)
{
    std::atomic<int> destroyed{0};
    std::atomic<int> started{0};
    {
        ProcessPool pool;
        for (int i = 0; i < 3; ++i) {
            pool.Start(std::make_unique<LambdaAlgorithm>(
                           [&](ProcessAlgorithm& algorithm) {
                               ++started;
                               UntilAborted(algorithm);
                           },
                           &destroyed),
                       i, i, "");
        }
        while (started.load() < 3)
            std::this_thread::yield();
    }
    EXPECT_EQ(destroyed.load(), 3);
}

TEST(ProcessPool, AnAbortedRunReportsTheAbortText)
{
    ProcessPool pool;
    auto* entry = pool.Start(std::make_unique<LambdaAlgorithm>(UntilAborted), 2, 104, "");
    ASSERT_NE(entry, nullptr);
    int32_t code = 0;
    entry->OnError = [&](int32_t, int32_t error) { code = error; };
    pool.AbortAll();
    std::vector<std::string> printed;
    PollUntilEmpty(pool, [&](const std::string& text) { printed.push_back(text); });
    EXPECT_EQ(code, 3);
    EXPECT_EQ(printed, (std::vector<std::string>{"Выполнение процесса прервано"}));
}

TEST(ProcessPool, AHandlerMayStartANewProcessDuringThePoll)
{
    ProcessPool pool;
    auto* first = pool.Start(std::make_unique<LambdaAlgorithm>([](ProcessAlgorithm&) {}), 0, 1, "");
    ASSERT_NE(first, nullptr);
    int doneCount = 0;
    first->OnDone = [&](int32_t) {
        ++doneCount;
        auto* second = pool.Start(std::make_unique<LambdaAlgorithm>([](ProcessAlgorithm&) {}), 0, 2, "");
        ASSERT_NE(second, nullptr);
        second->OnDone = [&](int32_t) { ++doneCount; };
    };
    PollUntilEmpty(pool, nullptr);
    EXPECT_EQ(doneCount, 2);
}

// A handler that throws is reported once and its process dropped; the entries after it are
// handled in the same poll, and the handler is never called again.
TEST(ProcessPool, AThrowingHandlerIsPrintedItsEntryRemovedAndTheNextHandled)
{
    struct Case {
        const char* name;
        bool failRun;        // the process ends with error 3 (its OnError runs) instead of success
        bool throwInDone;    // OnDone throws
        bool throwInError;   // OnError throws
        bool throwAsText;    // the handler throws something without a message of ours
    };
    const Case cases[] = {
        {"done handler", false, true, false, false},
        {"error handler", true, false, true, false},
        {"done handler, no text", false, true, false, true},
    };
    for (const auto& c : cases) {
        ProcessPool pool;
        auto body = [fail = c.failRun](ProcessAlgorithm& algorithm) {
            if (auto* container = algorithm.Container) {
                TInteractLock state(*container);
                state->PushMessage("сообщение");
            }
            if (fail)
                throw platform::Exception("Ошибка процесса");
        };
        auto* first = pool.Start(std::make_unique<LambdaAlgorithm>(body), 0, 1, "не печатается");
        auto* second = pool.Start(std::make_unique<LambdaAlgorithm>([](ProcessAlgorithm&) {}), 0, 2, "второй готов");
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        int calls = 0;
        auto fail = [&c, &calls] {
            ++calls;
            if (c.throwAsText)
                throw 7;
            throw platform::Exception("Обработчик сломан");
        };
        if (c.throwInDone)
            first->OnDone = [fail](int32_t) { fail(); };
        if (c.throwInError)
            first->OnError = [fail](int32_t, int32_t) { fail(); };
        int secondDone = 0;
        second->OnDone = [&](int32_t) { ++secondDone; };

        // Both workers end before the one poll that sees them.
        for (;;) {
            bool bothDone = true;
            for (auto* entry : {first, second}) {
                TInteractLock state(*entry->Container);
                bothDone = bothDone && state->GetDone();
            }
            if (bothDone)
                break;
            std::this_thread::yield();
        }
        std::vector<std::string> printed;
        pool.Poll([&](const std::string& text) { printed.push_back(text); });

        std::vector<std::string> expected{"сообщение"};
        if (c.failRun)
            expected.push_back("Ошибка процесса");
        expected.push_back(c.throwAsText ? "Неизвестная ошибка" : "Обработчик сломан");
        expected.push_back("второй готов");
        EXPECT_EQ(printed, expected) << c.name;
        EXPECT_EQ(calls, 1) << c.name;
        EXPECT_EQ(secondDone, 1) << c.name;
        EXPECT_EQ(pool.Count(), 0) << c.name;
        pool.Poll(nullptr);
        EXPECT_EQ(calls, 1) << c.name;
    }
}

// A progress handler that throws while its process still runs: the text is printed once, the
// process is asked to stop and leaves the pool when its worker ends, without further calls.
TEST(ProcessPool, AThrowingProgressHandlerStopsItsRunningProcess)
{
    ProcessPool pool;
    auto* entry = pool.Start(std::make_unique<LambdaAlgorithm>(UntilAborted), 0, 5, "не печатается");
    ASSERT_NE(entry, nullptr);
    int progressCalls = 0;
    int endCalls = 0;
    entry->OnProgress = [&](int32_t) {
        ++progressCalls;
        throw platform::Exception("Сбой индикатора");
    };
    entry->OnDone = [&](int32_t) { ++endCalls; };
    entry->OnError = [&](int32_t, int32_t) { ++endCalls; };
    std::vector<std::string> printed;
    PollUntilEmpty(pool, [&](const std::string& text) { printed.push_back(text); });
    EXPECT_EQ(progressCalls, 1);
    EXPECT_EQ(endCalls, 0);
    EXPECT_EQ(printed, (std::vector<std::string>{"Сбой индикатора", "Выполнение процесса прервано"}));
}

} // namespace
