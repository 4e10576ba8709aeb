// The edit's classes as a stored description may name them, with their stored properties.
#pragma once

class TClassRegistry;

void RegisterEditClasses(TClassRegistry& registry);
