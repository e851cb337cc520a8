-- The UI script. The game runs it once at start-up, then calls addUI when a UI
-- event happens ("e" in play) and updateUI whenever the player has changed an
-- element of one of the panels built here. See docs/scripting.md.
--
-- The shipped panel is a planet market: while landed, "e" opens it with the
-- planet's goods and equipment; the player picks an entry, sets a quantity and
-- buys or sells against the credits, into and out of a hold this script keeps.

local PANEL = "market"
local ROWS = 8          -- market entries shown at once
local MAX_QUANTITY = 10

local isOpen = false
local credits = 1000
local hold, holdOrder = {}, {}   -- entry name -> count, and names in the order first bought
local stock = {}                 -- {name, price, equipment} of the planet the panel shows
local stockPlanet = -1
local selected = 1
local quantity = 1
local steering = true
local status = ""

local function landedPlanet()
    if getIsPlayerLanded() == 1 then return getPlayerLandedPlanetId() end
    return -1
end

local function money(x) return string.format("%g", x) end
local function round(x) return math.floor(x + 0.5) end
local function clamp(x, low, high) return math.max(low, math.min(high, x)) end

local function loadStock(planet)
    stock, stockPlanet, selected = {}, planet, 1
    if planet < 0 then return end
    for _, good in ipairs({getPlanetTradeGoods(planet)}) do
        if type(good) == "table" then stock[#stock + 1] = {name = good.name, price = good.price} end
    end
    for _, piece in ipairs({getPlanetEquipment(planet)}) do
        if type(piece) == "table" then stock[#stock + 1] = {name = piece.name, price = piece.price, equipment = true} end
    end
end

-- Every row the same length: the font is monospaced and text is centred, so
-- the columns line up.
local function rowText(i)
    local item = stock[i]
    if not item then return "" end
    local name = item.name .. (item.equipment and " [eq]" or "")
    return string.format("%s %-18s %7s cr", i == selected and ">" or " ", name:sub(1, 18), money(item.price))
end

local function firstRow()
    return clamp(selected - math.floor(ROWS / 2), 1, math.max(1, #stock - ROWS + 1))
end

local function holdText()
    local parts = {}
    for _, name in ipairs(holdOrder) do
        if hold[name] > 0 then parts[#parts + 1] = hold[name] .. " " .. name end
    end
    local text = "Hold: " .. (#parts > 0 and table.concat(parts, ", ") or "empty")
    if #text > 38 then text = text:sub(1, 35) .. "..." end
    return text
end

-- Sound files of the data folder the panel plays (see docs/scripting.md).
local CLICK, TILL = "click.wav", "trade.wav"

local function trade(sign)
    local item = stock[selected]
    if landedPlanet() ~= stockPlanet or stockPlanet < 0 then
        status = "Not landed: the market is closed"
    elseif not item then
        status = "Nothing to trade here"
    elseif sign > 0 and item.price * quantity > credits then
        status = "Not enough credits for " .. quantity .. " " .. item.name
    elseif sign < 0 and (hold[item.name] or 0) < quantity then
        status = "The hold has only " .. (hold[item.name] or 0) .. " " .. item.name
    else
        if not hold[item.name] then hold[item.name] = 0; holdOrder[#holdOrder + 1] = item.name end
        hold[item.name] = hold[item.name] + sign * quantity
        credits = credits - sign * item.price * quantity
        status = (sign > 0 and "Bought " or "Sold ") .. quantity .. " " .. item.name
        playSound(TILL)
    end
end

-- The element tables of the market, by name. A layout in UI units: 0..100
-- across and up the window.
local function marketElements(planet)
    local name = getDecodedPlanetName(planet) or "?"
    local e = {
        frame = {type = "box", x1 = 50, y1 = 8, x2 = 96, y2 = 78, text = ""},
        title = {type = "text", x1 = 51, y1 = 73.5, x2 = 95, y2 = 77, text = "Market of " .. name},
        credits = {type = "text", x1 = 51, y1 = 70, x2 = 95, y2 = 73},
        picker = {type = "scroller", x1 = 89.5, y1 = 45, x2 = 93.5, y2 = 69, arrowWidth = 3},
        chosen = {type = "text", x1 = 51, y1 = 41, x2 = 95, y2 = 44},
        quantity = {type = "slider", x1 = 52, y1 = 36.5, x2 = 94, y2 = 39.5, arrowWidth = 3,
                    leftVal = 1, rightVal = MAX_QUANTITY, curVal = 1},
        level = {type = "bar", x1 = 52, y1 = 33.5, x2 = 94, y2 = 35.5, leftVal = 0, rightVal = MAX_QUANTITY},
        cost = {type = "text", x1 = 51, y1 = 29.5, x2 = 95, y2 = 32.5},
        buy = {type = "button", x1 = 52, y1 = 23, x2 = 62, y2 = 28, text = "Buy"},
        sell = {type = "button", x1 = 63, y1 = 23, x2 = 73, y2 = 28, text = "Sell"},
        steer = {type = "button", x1 = 74, y1 = 23, x2 = 94, y2 = 28},
        cargo = {type = "text", x1 = 51, y1 = 18.5, x2 = 95, y2 = 21.5},
        status = {type = "text", x1 = 51, y1 = 14.5, x2 = 95, y2 = 17.5},
        close = {type = "button", x1 = 80, y1 = 9.5, x2 = 94, y2 = 13.5, text = "Close"},
    }
    for i = 1, ROWS do
        e["row" .. i] = {type = "text", x1 = 51, y1 = 69 - 3 * i, x2 = 88.5, y2 = 72 - 3 * i}
    end
    return e
end

-- Brings every element of the market in step with the script's state. `e`
-- holds the element tables by name; each keeps the fields it came with.
local function refresh(e)
    local planet = landedPlanet()
    if planet >= 0 and planet ~= stockPlanet then
        loadStock(planet)
        e.title.text = "Market of " .. (getDecodedPlanetName(planet) or "?")
    end
    local count = #stock
    selected = clamp(selected, 1, math.max(1, count))
    -- The picker runs upward: its top end is the first entry.
    e.picker.leftVal, e.picker.rightVal = 0, math.max(0, count - 1)
    e.picker.curVal = math.max(0, count - selected)
    local top = firstRow()
    for i = 1, ROWS do e["row" .. i].text = rowText(top + i - 1) end

    local item = stock[selected]
    e.credits.text = "Credits: " .. money(credits)
    e.chosen.text = item and ("Selected: " .. item.name .. ", " .. money(item.price) .. " cr each") or "Nothing for sale"
    e.quantity.curVal, e.level.curVal = quantity, quantity
    e.cost.text = "Quantity " .. quantity .. (item and (", cost " .. money(item.price * quantity) .. " cr") or "")
    e.buy.state, e.sell.state = 0, 0
    e.steer.state = steering and 0 or 1
    e.steer.text = steering and "Steering on" or "Steering off"
    e.cargo.text = holdText()
    e.status.text = planet < 0 and "Not landed: the market is closed" or status
end

local function notLandedElements()
    return {
        frame = {type = "box", x1 = 50, y1 = 58, x2 = 96, y2 = 78, text = ""},
        notice = {type = "text", x1 = 51, y1 = 70, x2 = 95, y2 = 75, text = "The ship is not landed"},
        hint = {type = "text", x1 = 51, y1 = 65, x2 = 95, y2 = 69, text = "Land on a planet to trade"},
        close = {type = "button", x1 = 80, y1 = 59.5, x2 = 94, y2 = 63.5, text = "Close"},
    }
end

-- The game adds elements in the reverse of the order they are returned, and
-- draws them in the order added: the frame goes last so it is drawn first.
local DRAW_LAST_FIRST = {"close", "status", "cargo", "steer", "sell", "buy", "cost", "level", "quantity",
                         "chosen", "picker", "notice", "hint", "credits", "title"}

function addUI(eventType, ...)
    if isOpen then return PANEL end   -- a lone value builds nothing: the panel is already up
    isOpen = true
    local planet = landedPlanet()
    local e
    if planet >= 0 then
        e = marketElements(planet)
        loadStock(planet)
        quantity, status = 1, "Welcome"
        refresh(e)
    else
        e = notLandedElements()
    end
    local out = {}
    for _, name in ipairs(DRAW_LAST_FIRST) do
        if e[name] then e[name].name = name; out[#out + 1] = e[name] end
    end
    for i = 1, ROWS do
        local row = e["row" .. i]
        if row then row.name = "row" .. i; out[#out + 1] = row end
    end
    e.frame.name = "frame"
    out[#out + 1] = e.frame
    out[#out + 1] = PANEL
    return unpack(out)
end

function updateUI(panel, ...)
    if panel ~= PANEL then return end
    local e = {}
    for _, t in ipairs({...}) do e[t.name] = t end
    for _, button in ipairs({"close", "buy", "sell", "steer"}) do
        if e[button] and e[button].modified then playSound(CLICK); break end
    end

    if e.close and e.close.modified then
        isOpen = false
        if not steering then steering = true; enablePlayerInput() end
        local gone = {}
        for name in pairs(e) do gone[#gone + 1] = {name = name, delete = 1} end
        return unpack(gone)
    end
    if not e.credits then return end   -- the not-landed notice has nothing else to change

    if e.picker.modified then
        selected = #stock - clamp(round(e.picker.curVal), 0, math.max(0, #stock - 1))
    end
    if e.quantity.modified then quantity = clamp(round(e.quantity.curVal), 1, MAX_QUANTITY) end
    if e.buy.modified then trade(1) end
    if e.sell.modified then trade(-1) end
    if e.steer.modified then
        steering = e.steer.state ~= 1
        if steering then enablePlayerInput() else disablePlayerInput() end
    end
    refresh(e)
    return ...
end
