#pragma once

#include <string>
#include <utility>
#include <variant>

namespace korvane {

// Why something could not be done, in words for the user.
struct Failure
{
    std::string message;
};

// A value, or a message for the user saying why there is none. Result<> is done or not.
template <typename T = void> class [[nodiscard]] Result
{
public:
    Result(T value)
        : m_state(std::move(value))
    {
    }
    Result(Failure failure)
        : m_state(std::move(failure))
    {
    }

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<0>(m_state); }
    T&& value() && { return std::get<0>(std::move(m_state)); }
    // Empty when there is a value.
    const std::string& error() const
    {
        static const std::string none;
        return ok() ? none : std::get<1>(m_state).message;
    }

private:
    std::variant<T, Failure> m_state;
};

template <> class [[nodiscard]] Result<void>
{
public:
    Result() = default;
    Result(Failure failure)
        : m_failed(true)
        , m_error(std::move(failure.message))
    {
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    // Empty when done.
    const std::string& error() const { return m_error; }

private:
    bool m_failed = false;
    std::string m_error;
};

} // namespace korvane
