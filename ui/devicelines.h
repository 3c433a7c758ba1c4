#pragma once

#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <QThread>

#include <atomic>
#include <memory>
#include <type_traits>
#include <utility>

class commandExecObject;
class net;
class RpiTool;
class vekCameraObject;

// After `obj` has moved to the calling thread: runs the queued calls the
// move left for it and its children. A timer that was running re-registers
// on its new thread through such a call, and at exit that thread's event
// loop has already ended: undelivered, the call and the timer list it
// carries would be lost with the object.
void settleMovedObject(QObject *obj);

// The way results come back to one context object: a child of it, so it
// lives on the context's thread and goes with it. A lane thread must not
// even look at the context (it may be in the middle of being destroyed on
// its own thread); it hands the result to the gate, which posts it only
// while the return path exists, under a lock that the return path's
// destructor takes too. The result then runs on the context's thread.
class LaneReturn : public QObject
{
    Q_OBJECT
public:
    class Gate
    {
    public:
        // Any thread. Queues fn for the context's thread, or drops it when
        // the context is gone.
        template <typename Fn>
        void deliver(Fn &&fn)
        {
            QMutexLocker lock(&mutex_);
            if (receiver_)
                QMetaObject::invokeMethod(receiver_, std::forward<Fn>(fn), Qt::QueuedConnection);
        }

    private:
        friend class LaneReturn;
        QMutex mutex_;
        LaneReturn *receiver_ = nullptr;
    };

    // The gate of `context`, made on first use. Called on context's thread.
    static std::shared_ptr<Gate> gateOf(QObject *context);
    ~LaneReturn() override;

private:
    explicit LaneReturn(QObject *context);
    std::shared_ptr<Gate> gate_;
};

// One lane: a thread that owns one back-end object and every line it opens.
// Calls are posted in order and run one after the other on that thread, so
// the exchanges on a line keep the order the interface asked for; a result
// comes back to the caller's context as a queued call.
//
// Ownership rule: once an object is handed to a lane, only code running on
// the lane's thread touches it (through `post`); the interface thread keeps
// its own copies of whatever the pages bind to. Each object checks its
// caller at its entry points in debug builds (TAVRIK_ASSERT_OWNER); the few
// calls meant for any thread (abortExchanges, atomic flags) say so.
template <typename T>
class DeviceLane
{
public:
    DeviceLane(const char *name, T *object) : object_(object)
    {
        thread_.setObjectName(QString::fromLatin1(name));
        if (object_) {
            object_->moveToThread(&thread_);
            thread_.start();
        }
    }
    ~DeviceLane() { stop(); }
    DeviceLane(const DeviceLane &) = delete;
    DeviceLane &operator=(const DeviceLane &) = delete;

    // Runs fn(T&) on the lane's thread.
    template <typename F>
    void post(F &&fn)
    {
        if (!object_ || stopped_.load())
            return;
        pending_.fetch_add(1);
        T *obj = object_;
        QMetaObject::invokeMethod(
            obj,
            [this, obj, f = std::forward<F>(fn)]() mutable {
                f(*obj);
                pending_.fetch_sub(1);
            },
            Qt::QueuedConnection);
    }

    // Runs fn(T&) on the lane's thread, then done(result) on `context`'s
    // thread; `done` is dropped when `context` is gone by then. Called on
    // `context`'s thread.
    template <typename F, typename Done>
    void post(F &&fn, QObject *context, Done &&done)
    {
        std::shared_ptr<LaneReturn::Gate> gate = LaneReturn::gateOf(context);
        post([f = std::forward<F>(fn), d = std::forward<Done>(done), gate](T &obj) mutable {
            using R = std::invoke_result_t<F &, T &>;
            if constexpr (std::is_void_v<R>) {
                f(obj);
                gate->deliver([d = std::move(d)]() mutable { d(); });
            } else {
                R r = f(obj);
                gate->deliver([d = std::move(d), r = std::move(r)]() mutable { d(r); });
            }
        });
    }

    // Calls posted but not yet finished; pollers skip a tick while their
    // last request is still queued, so a slow line never piles work up.
    int pending() const { return pending_.load(); }
    QThread *thread() { return &thread_; }
    T *object() const { return object_; }

    // Hands the object back to `home` (it is destroyed there, after its
    // line is closed by its owner) and ends the thread. Calls still queued
    // run first.
    void stop(QThread *home = nullptr)
    {
        if (stopped_.exchange(true) || !object_)
            return;
        if (!home)
            home = QThread::currentThread();
        T *obj = object_;
        QMetaObject::invokeMethod(
            obj, [obj, home] { obj->moveToThread(home); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
        if (home == QThread::currentThread())
            settleMovedObject(obj);
    }

private:
    T *object_;
    QThread thread_;
    std::atomic<int> pending_{0};
    std::atomic<bool> stopped_{false};
};

// The interface's way to the devices. Lives on the interface thread.
//  - mainboard: commandExecObject and the mainboard line
//  - camera:    vekCameraObject and the three camera lines
//  - system:    net and RpiTool (shell commands, scripts, files, the meter)
// Each lane blocks only its own thread; a silent camera never delays a CUT.
class DeviceLines : public QObject
{
    Q_OBJECT
public:
    DeviceLines(commandExecObject *mainboard, vekCameraObject *cameras, net *netObject, RpiTool *rpi,
                QObject *parent = nullptr);
    ~DeviceLines() override;

    DeviceLane<commandExecObject> &mainboard() { return mainboard_; }
    DeviceLane<vekCameraObject> &camera() { return camera_; }
    DeviceLane<net> &system() { return net_; }
    // RpiTool shares the system thread with net.
    template <typename F>
    void rpi(F &&fn)
    {
        RpiTool *tool = rpi_;
        net_.post([tool, f = std::forward<F>(fn)](net &) mutable { f(*tool); });
    }
    template <typename F, typename Done>
    void rpi(F &&fn, QObject *context, Done &&done)
    {
        RpiTool *tool = rpi_;
        net_.post([tool, f = std::forward<F>(fn)](net &) mutable { return f(*tool); }, context,
                  std::forward<Done>(done));
    }

    // The panel is stopping: every exchange under way on the device lines
    // gives up, later ones fail at once, so what is still queued runs
    // through in moments however silent the devices are.
    void abortExchanges();
    // Ends the lanes in reverse order (aborting the exchanges first) and
    // hands every object back to the calling thread, so their destructors
    // close the lines there.
    void stop();

private:
    RpiTool *rpi_;
    DeviceLane<commandExecObject> mainboard_;
    DeviceLane<vekCameraObject> camera_;
    DeviceLane<net> net_;
};
