// The sixteen functions the host calls, declared from their one list (export_list.h). C calling
// convention, undecorated names, records by value. Programs that load the library include this
// header for the signatures and resolve the functions at run time by name.
#pragma once

#include <iterator>

#include "export_list.h"
#include "host_records.h"

// The library is built with hidden visibility; only these names leave it. On Windows the module
// definition file written from the list names them instead.
#if defined(VANTOR_BUILDING_PLUGIN) && !defined(_WIN32)
#define VANTOR_API __attribute__((visibility("default")))
#else
#define VANTOR_API
#endif

extern "C" {

#define VANTOR_DECLARE_EXPORT(name, callerName, result, parameters)                                \
    VANTOR_API result name parameters;
VANTOR_EXPORTS(VANTOR_DECLARE_EXPORT)
#undef VANTOR_DECLARE_EXPORT

} // extern "C"

namespace vantor {

inline constexpr const char* kExportNames[] = {
#define VANTOR_EXPORT_NAME(name, callerName, result, parameters) #name,
    VANTOR_EXPORTS(VANTOR_EXPORT_NAME)
#undef VANTOR_EXPORT_NAME
};
static_assert(std::size(kExportNames) == 16, "the host calls sixteen functions");

} // namespace vantor
