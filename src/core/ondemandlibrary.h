// A system library opened the first time one of its functions is needed, for the large
// libraries only a few files need (the metafile converters).
#pragma once

#include <QLibrary>
#include <QMutex>

namespace quadrela {

class OnDemandLibrary
{
public:
    // soname: the name the dynamic linker knows the library by, e.g. "libwmf-0.2.so.7".
    explicit OnDemandLibrary(const char* soname);

    // Points `function` at the library's function `name`, the library opened if it is not
    // yet. Throws Error when the library or the function cannot be found.
    template <typename Function> void bind(Function*& function, const char* name)
    {
        function = reinterpret_cast<Function*>(address(name));
    }

private:
    QFunctionPointer address(const char* name);

    QMutex m_mutex;
    QLibrary m_library;
};

} // namespace quadrela
