// The out-of-line destructors of the embedding, control and property-page
// interfaces: each is its class's key function, so the vtable and type
// information live once, in the platform library.

#include "platform/com/ole_control.h"
#include "platform/com/ole_inplace.h"
#include "platform/com/ole_object.h"
#include "platform/com/property_page.h"

IEnumOLEVERB::~IEnumOLEVERB() = default;
IOleClientSite::~IOleClientSite() = default;
IOleObject::~IOleObject() = default;
IOleWindow::~IOleWindow() = default;
IOleInPlaceObject::~IOleInPlaceObject() = default;
IOleInPlaceSite::~IOleInPlaceSite() = default;
IOleControlSite::~IOleControlSite() = default;
IProvideClassInfo::~IProvideClassInfo() = default;
IProvideClassInfo2::~IProvideClassInfo2() = default;
ISpecifyPropertyPages::~ISpecifyPropertyPages() = default;
IPropertyPageSite::~IPropertyPageSite() = default;
IPropertyPage::~IPropertyPage() = default;
