// The out-of-line destructors of the COM interfaces. Each is its class's
// key function, so the compiler emits the class's vtable and type
// information here, once, in the platform library, and every module that
// implements or calls an interface shares them.

#include "platform/com/class_factory.h"
#include "platform/com/connection_point.h"
#include "platform/com/dispatch.h"
#include "platform/com/persist.h"
#include "platform/com/stream.h"
#include "platform/com/type_info.h"

IUnknown::~IUnknown() = default;
IClassFactory::~IClassFactory() = default;
IDispatch::~IDispatch() = default;
ITypeInfo::~ITypeInfo() = default;
ITypeLib::~ITypeLib() = default;
IEnumConnections::~IEnumConnections() = default;
IEnumConnectionPoints::~IEnumConnectionPoints() = default;
IConnectionPoint::~IConnectionPoint() = default;
IConnectionPointContainer::~IConnectionPointContainer() = default;
ISequentialStream::~ISequentialStream() = default;
IStream::~IStream() = default;
IPersist::~IPersist() = default;
IPersistStream::~IPersistStream() = default;
IPersistStreamInit::~IPersistStreamInit() = default;
IErrorLog::~IErrorLog() = default;
IPropertyBag::~IPropertyBag() = default;
IPersistPropertyBag::~IPersistPropertyBag() = default;
