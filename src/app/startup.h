#pragma once

class TollimerApp;

// The steps of start-up that come before the sign-in, kept out of the entry function so that tests can run them in
// process: the application's identity (which fixes where the store lives) and the store with its setting row.
class Startup {
public:
    // Organisation and application names and domain; must come before the store is opened.
    static void setIdentity();
    // Opens and prepares the store and puts its setting row into the application object. False when start-up
    // cannot go on; connectDB has then told the user, the other failures end start-up without a word.
    static bool loadStore(TollimerApp* app);
};
