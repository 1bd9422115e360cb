// Export macro shared by every public header of DoRor.
#pragma once

#if defined(NY_BUILDING_DLL)
#define NY_API __declspec(dllexport)
#else
#define NY_API __declspec(dllimport)
#endif
