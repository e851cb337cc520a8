// The player's ship, built from its number table.
#pragma once

class Player;

Player* initializePlayer();  // from "playerdata.txt"; the caller owns it
