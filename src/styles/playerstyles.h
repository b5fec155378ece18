#ifndef PLAYERSTYLES_H
#define PLAYERSTYLES_H

// The look of the player's own widgets (information panel, cover, controls, navigation bar),
// registered under the style library "parlovance". The widgets register it when the first of
// them is made, so a widget shown alone (a test, the player sheet) looks as it does on its page.
class PlayerStyles
{
public:
    static void ensureRegistered();
};

#endif // PLAYERSTYLES_H
