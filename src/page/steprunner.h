// A user step on the page, run through whoever records steps for undo.
#pragma once

#include <QString>
#include <functional>

namespace quadrela {

// Runs `step`, one user step named `label`; the undo history records what it changed.
using StepRunner = std::function<void(const QString& label, const std::function<void()>& step)>;

inline void runStep(const StepRunner& runner, const QString& label,
                    const std::function<void()>& step)
{
    if (runner)
        runner(label, step);
    else
        step();
}

} // namespace quadrela
