#ifndef PROFILE_H
#define PROFILE_H

// The phone's sound profiles: named sets of values such as the ringing tone. Each profile
// keeps its values in a key file of its own under the user's configuration folder
// ("profiled/<profile>.ini"); the active profile is "general".

#ifdef __cplusplus
extern "C" {
#endif

// The active profile's name, allocated with malloc(); the caller frees it. NULL when none.
char* profile_get_profile(void);

// Stores the value under the key in the profile. 0 on success, -1 on failure (a bad profile
// name or key, a file that cannot be written).
int profile_set_value(const char* profile, const char* key, const char* value);

// The value stored under the key, allocated with malloc() (the caller frees it); an empty
// string when the key has none, NULL for a bad profile name or key.
char* profile_get_value(const char* profile, const char* key);

#ifdef __cplusplus
}
#endif

#endif // PROFILE_H
