// A window's busy marker keeps its handlers from running into each other
// and into its worker: null while idle, the guard's tag while a handler
// runs on the window's thread, or the handle of a worker thread that took
// the marker over and clears it when it is done.
#pragma once

typedef void* volatile BusyMarker;

// Takes an idle marker for the scope of one handler and clears it again on
// every path, unless a worker took it over meanwhile. A marker that is set
// already is not taken: the handler then does nothing.
class BusyGuard {
public:
    explicit BusyGuard(BusyMarker& marker) : marker_(marker), taken_(marker == nullptr)
    {
        if (taken_)
            marker_ = Tag();
    }
    ~BusyGuard()
    {
        if (taken_ && marker_ == Tag())
            marker_ = nullptr;
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    bool Taken() const
    {
        return taken_;
    }

private:
    static void* Tag()
    {
        static char tag;
        return &tag;
    }
    BusyMarker& marker_;
    bool taken_;
};
