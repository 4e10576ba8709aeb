// Makes the program's own classes known to stored descriptions (the view and the main window).
#pragma once

// Safe to call more than once; the registrations are made on the first call.
void RegisterProgramClasses();
