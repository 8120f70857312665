#pragma once

#include <QString>

#include <concepts>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace tarvello {

// The one place the program's errors go: the error box, one at a time, on the
// window's thread. A box is modal and runs its own event loop, in which more
// errors may arrive; those wait, and only the newest of them is shown once the
// box is closed, so boxes never stack on top of each other on stage.
class TErrorReporter {
public:
    explicit TErrorReporter(std::function<void(const QString &)> showBox);

    void Report(const QString &text);
    // The error's own text (ErrorMessageOf).
    void Report(std::exception_ptr error);

private:
    std::function<void(const QString &)> ShowBox;
    bool Showing = false;
    QString Waiting;
};

// A handler for a signal or an event filter: an error it raises goes to the
// reporter instead of being thrown through Qt's frames. The handler itself
// still throws when called directly. A handler that answers (an event filter)
// answers false when it failed.
template <typename THandler> auto Guarded(TErrorReporter &reporter, THandler handler)
{
    // Constrained, so that Qt finds how many of a signal's arguments the
    // handler takes.
    return [&reporter, handler = std::move(handler) ]<typename... TArgs>(
        TArgs && ...args) requires std::invocable<const THandler &, TArgs...>
    {
        using TResult = std::invoke_result_t<const THandler &, TArgs...>;
        try {
            return handler(std::forward<TArgs>(args)...);
        } catch (...) {
            reporter.Report(std::current_exception());
            if constexpr (!std::is_void_v<TResult>) {
                return TResult{};
            }
        }
    };
}

} // namespace tarvello
