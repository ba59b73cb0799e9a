// adapter_info.cpp - transitional: the information queries are not built yet and print nothing.
#include "driver/adapter_info.h"

void GetAdapterInformation(Driver&, const CommandOptions&) {}
void SetDriverLinkState(Driver&, const CommandOptions&) {}
