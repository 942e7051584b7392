#pragma once

// The device frame over the real TCP channel to the simulated demo instrument, with its
// process pool polled by the test as the main window's timer would; the fixture of the tests
// that read and write through the frame.
#include "app/DaxFrame.h"
#include "app/DaxReadAllFrame.h"
#include "app/DaxWriteAllFrame.h"

#include "AppTestSupport.h"
#include "DemoState.h"
#include "FakePrompts.h"
#include "FakeTime.h"
#include "LogRecorder.h"
#include "Servers.h"
#include "Simulator.h"

#include "comm/TcpChanel.h"
#include "device/ProcessThread.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace apptest {

class FrameOverSimulator : public testing::Test {
protected:
    void SetUp() override
    {
        server = std::make_unique<daxsim::TcpServer>(simulator, "127.0.0.1", 0);
        server->Start();
        chanel.Params().TcpAddress = "127.0.0.1";
        chanel.Params().TcpPort = server->Port();
        chanel.Params().TcpTimeout = 0;
        chanel.Params().NetAddr = 1;
        chanel.Open(nullptr);
        ASSERT_TRUE(chanel.IsOpen());
        chanel.SetTimeouts(1000, 20, nullptr);

        frame.BuildPageTree();
        frame.Helper().SetPacer(&pacer);
        frame.SetLogCallback(log.Callback());
        frame.SetChannel(&chanel);
        frame.SetPool(&pool);
        frame.SetPrompts(&prompts);
        frame.SetChoiceDialogs(&readAllForm, &writeAllForm);
        tree = Child<QTreeWidget>(frame, "SelectTree");
    }

    void TearDown() override
    {
        pool.AbortAll();
        Finish();
    }

    // Runs the pool's poll until every process has been handled; the console lines go to log.
    void Finish()
    {
        EXPECT_TRUE(WaitFor([this] {
            pool.Poll([this](const std::string& text) { log.Add(text); });
            return pool.Count() == 0;
        }));
    }

    // Shows the page through the tree without the automatic read choosing a page may start.
    void Select(int pageId)
    {
        const bool autoRequest = frame.AutoRequestFlag();
        frame.SetAutoRequestFlag(false);
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            if ((*it)->data(0, TDax_Frame::kPageIdRole).toInt() == pageId)
                tree->setCurrentItem(*it);
        frame.SetAutoRequestFlag(autoRequest);
        ASSERT_EQ(frame.CurrentPageId(), pageId);
    }

    daxsim::Simulator simulator{daxsim::DemoState(daxsim::Model::Dax01), 1};
    std::unique_ptr<daxsim::TcpServer> server;
    TcpChanelHelper chanel{false};
    testsupport::RecordingPacer pacer;
    testsupport::LogRecorder log;
    testsupport::FakePrompts prompts;
    TDaxReadAllForm readAllForm;
    TDaxWriteAllForm writeAllForm;
    TDax_Frame frame;
    ProcessPool pool; // after the frame: its workers use the frame's instrument object
    QTreeWidget* tree = nullptr;
};

} // namespace apptest
