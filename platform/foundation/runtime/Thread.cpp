#include "platform/foundation/runtime/Thread.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/detail/ThreadSupport.h"

#include <chrono>
#include <thread>

namespace fnd {

FND_REGISTER_CLASS(Thread, Object)

namespace {

thread_local std::shared_ptr<Thread> t_thread;

}

Thread::Thread() = default;

Thread::~Thread() = default;

std::shared_ptr<Thread> Thread::mainThread()
{
    // Never destroyed, like the main run loop it refers to.
    static auto* thread = [] {
        auto made = std::make_shared<Thread>();
        made->m_runLoop = RunLoop::mainShared();
        made->m_state = State::Executing;
        return new std::shared_ptr<Thread>(std::move(made));
    }();
    return *thread;
}

std::shared_ptr<Thread> Thread::current()
{
    if (!t_thread) {
        if (isMainThread()) {
            t_thread = mainThread();
        } else {
            // A thread someone else started: it is running now, and its loop is the one it already uses.
            t_thread = std::make_shared<Thread>();
            t_thread->m_runLoop = RunLoop::currentShared();
            t_thread->m_state = State::Executing;
        }
    }
    return t_thread;
}

bool Thread::isMainThread()
{
    return RunLoop::isMainThread();
}

std::shared_ptr<Thread> Thread::create(std::function<void()> entry)
{
    auto thread = std::make_shared<Thread>();
    thread->m_entry = std::move(entry);
    thread->m_runLoop = std::make_shared<RunLoop>();
    return thread;
}

std::shared_ptr<Thread> Thread::detachNewThread(std::function<void()> entry)
{
    auto thread = create(std::move(entry));
    thread->start();
    return thread;
}

void Thread::start()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_state != State::Created || !m_runLoop)
            throw Exception::invalidArgument("A thread can be started once, and only when it was made by create.");
        m_state = State::Executing;
    }
    auto self = std::static_pointer_cast<Thread>(shared_from_this());
    std::thread([self] {
        t_thread = self;
        detail::setCurrentRunLoop(self->m_runLoop);
        try {
            if (self->m_entry)
                self->m_entry();
        } catch (const Exception& e) {
            logf(LogLevel::Error, "Exception on a thread: {}: {}", e.name().utf8(), e.reason().utf8());
        } catch (const std::exception& e) {
            logf(LogLevel::Error, "Exception on a thread: {}", e.what());
        }
        {
            std::lock_guard lock(self->m_mutex);
            self->m_state = State::Finished;
            self->m_entry = nullptr;
        }
        self->m_finished.notify_all();
        detail::setCurrentRunLoop(nullptr);
        t_thread = nullptr;
    }).detach();
}

bool Thread::isExecuting() const
{
    std::lock_guard lock(m_mutex);
    return m_state == State::Executing;
}

bool Thread::isFinished() const
{
    std::lock_guard lock(m_mutex);
    return m_state == State::Finished;
}

bool Thread::waitUntilFinished(double timeoutSeconds) const
{
    std::unique_lock lock(m_mutex);
    return m_finished.wait_for(
        lock, std::chrono::duration<double>(timeoutSeconds), [&] { return m_state == State::Finished; });
}

}
