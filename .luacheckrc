-- luacheck settings for the game's Lua scripts (assets/*.lua): Lua 5.1, the
-- functions the game registers for the script, and the two the script defines
-- for the game to call.
std = "lua51"
max_line_length = false  -- long panel tables read better on one line

-- Defined by the script, called by the game.
globals = { "addUI", "updateUI" }

-- Registered by the game before the script's panels run.
read_globals = {
  "debugDisplay", "testPass", "getVal", "setVal",
  "getPlayerWorld", "getIsPlayerLanded", "getPlayerLandedPlanetId", "getDecodedPlanetName",
  "enablePlayerInput", "disablePlayerInput",
  "getPlanetTradeGoods", "getPlanetEquipment",
  "playSound",
}

-- addUI gets the event's numbers; a script may use as many as it needs.
unused_args = false
