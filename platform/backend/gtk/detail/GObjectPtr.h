#pragma once

#include <glib-object.h>

#include <utility>

namespace ui::gtkdetail {

// Holds one reference to a GObject and drops it when it goes.
template <typename T> class GObjectPtr {
public:
    GObjectPtr() = default;
    // Takes over a reference the caller owns.
    static GObjectPtr adopt(T* object)
    {
        GObjectPtr p;
        p.m_object = object;
        return p;
    }
    // Adds a reference of its own.
    static GObjectPtr retain(T* object)
    {
        if (object)
            g_object_ref(object);
        return adopt(object);
    }
    GObjectPtr(const GObjectPtr& other) { *this = retain(other.m_object); }
    GObjectPtr(GObjectPtr&& other) noexcept
        : m_object(std::exchange(other.m_object, nullptr))
    {
    }
    GObjectPtr& operator=(GObjectPtr other) noexcept
    {
        std::swap(m_object, other.m_object);
        return *this;
    }
    ~GObjectPtr()
    {
        if (m_object)
            g_object_unref(m_object);
    }

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object { nullptr };
};

}
