// A system library opened the first time one of its functions is needed. Every library the
// program is linked with is loaded and bound at each start, used or not; the ones only some
// files need (archives, metafiles) wait until such a file comes.
#pragma once

#include <QLibrary>
#include <QMutex>

namespace quadrela {

class OnDemandLibrary
{
public:
    // soname: the name the dynamic linker knows the library by, e.g. "libzip.so.4".
    explicit OnDemandLibrary(const char* soname);

    // The library's function `name`, the library opened if it is not yet. Throws Error
    // when the library or the function cannot be found.
    template <typename Function> Function* function(const char* name)
    {
        return reinterpret_cast<Function*>(address(name));
    }

private:
    QFunctionPointer address(const char* name);

    QMutex m_mutex;
    QLibrary m_library;
};

// Declares, in a struct, one pointer for each function of a list: with
// #define FUNCTIONS(X) X(first) X(second), QUADRELA_LIBRARY_POINTERS(FUNCTIONS) declares
// `decltype(&::first) first;` and so on, typed from the library's own header.
#define QUADRELA_LIBRARY_POINTER(name) decltype(&::name) name = nullptr;
#define QUADRELA_LIBRARY_POINTERS(list) list(QUADRELA_LIBRARY_POINTER)

// Fills those pointers of `table` from `library`.
#define QUADRELA_LIBRARY_BIND(name)                                                                \
    table.name = library.function<std::remove_pointer_t<decltype(table.name)>>(#name);
#define QUADRELA_LIBRARY_BIND_ALL(list) list(QUADRELA_LIBRARY_BIND)

// Defines the struct `Table` of the functions of `list` and `const Table& accessor()`,
// which opens the library `soname` and binds them all the first time it is called.
#define QUADRELA_ON_DEMAND_FUNCTIONS(Table, accessor, soname, list)                              \
    struct Table                                                                                   \
    {                                                                                              \
        QUADRELA_LIBRARY_POINTERS(list)                                                            \
    };                                                                                             \
    const Table& accessor()                                                                        \
    {                                                                                              \
        static OnDemandLibrary library(soname);                                                    \
        static const Table functions = [] {                                                        \
            Table table;                                                                           \
            QUADRELA_LIBRARY_BIND_ALL(list)                                                        \
            return table;                                                                          \
        }();                                                                                       \
        return functions;                                                                          \
    }

} // namespace quadrela
