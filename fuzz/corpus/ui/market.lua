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
-- A price the market can take: a number, not NaN, not negative, not infinite.
local function soundPrice(p) return type(p) == "number" and p >= 0 and p < math.huge end

-- Reads the planet's stock afresh; the selection stays unless the planet changed.
local function loadStock(planet)
    if planet ~= stockPlanet then selected = 1 end
    stock, stockPlanet = {}, planet
    if planet < 0 then return end
    local function add(entries, equipment)
        for _, entry in ipairs(entries) do
            if type(entry) == "table" and type(entry.name) == "string" and soundPrice(entry.price) then
                stock[#stock + 1] = {name = entry.name, price = entry.price, equipment = equipment}
            end
        end
    end
    add({getPlanetTradeGoods(planet)}, false)
    add({getPlanetEquipment(planet)}, true)
end

-- Every row the same length: the font is monospaced and text is centred, so
-- the columns line up. The name column holds the longest shipped name whole.
local function rowText(i)
    local item = stock[i]
    if not item then return "" end
    local name = item.name .. (item.equipment and " [eq]" or "")
    return string.format("%s %-19s %6s cr", i == selected and ">" or " ", name:sub(1, 19), money(item.price))
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

local function trade(sign)
    local item = stock[selected]
    if landedPlanet() ~= stockPlanet or stockPlanet < 0 then
        status = "Not landed: the market is closed"
        return
    end
    if not item then
        status = "Nothing to trade here"
        return
    end
    local cost = item.price * quantity
    if sign > 0 and not (cost <= credits) then  -- written so that a NaN never buys
        status = "Not enough credits for " .. quantity .. " " .. item.name
    elseif sign < 0 and (hold[item.name] or 0) < quantity then
        status = "The hold has only " .. (hold[item.name] or 0) .. " " .. item.name
    else
        if not hold[item.name] then hold[item.name] = 0; holdOrder[#holdOrder + 1] = item.name end
        hold[item.name] = hold[item.name] + sign * quantity
        credits = credits - sign * cost
        status = (sign > 0 and "Bought " or "Sold ") .. quantity .. " " .. item.name
    end
end

-- One panel serves both the market (landed) and the notice (in flight): every
-- element is always there, and those the current view does not use are parked
-- off screen. So an open notice becomes the market, and the market the notice,
-- at the next update. Layouts in UI units: 0..100 across and up the window.
local OFF_SCREEN = {-20, -20, -10, -10}
local MARKET_LAYOUT = {
    frame = {50, 8, 96, 78}, title = {51, 73.5, 95, 77}, credits = {51, 70, 95, 73},
    picker = {89.5, 45, 93.5, 69}, chosen = {51, 41, 95, 44}, quantity = {52, 36.5, 94, 39.5},
    level = {52, 33.5, 94, 35.5}, cost = {51, 29.5, 95, 32.5}, buy = {52, 23, 62, 28}, sell = {63, 23, 73, 28},
    steer = {74, 23, 94, 28}, cargo = {51, 18.5, 95, 21.5}, status = {51, 14.5, 95, 17.5}, close = {80, 9.5, 94, 13.5},
}
for i = 1, ROWS do MARKET_LAYOUT["row" .. i] = {51, 69 - 3 * i, 88.5, 72 - 3 * i} end
local NOTICE_LAYOUT = {
    frame = {50, 58, 96, 78}, notice = {51, 70, 95, 75}, hint = {51, 65, 95, 69},
    open = {52, 59.5, 78, 63.5}, close = {80, 59.5, 94, 63.5},
}

-- The element tables of the panel, by name, with what never changes.
local function panelElements()
    local e = {
        frame = {type = "box", text = ""},
        title = {type = "text"}, credits = {type = "text"}, chosen = {type = "text"}, cost = {type = "text"},
        cargo = {type = "text"}, status = {type = "text"}, notice = {type = "text"}, hint = {type = "text"},
        picker = {type = "scroller", arrowWidth = 3},
        quantity = {type = "slider", arrowWidth = 3, leftVal = 1, rightVal = MAX_QUANTITY, curVal = 1},
        level = {type = "bar", leftVal = 0, rightVal = MAX_QUANTITY},
        buy = {type = "button", text = "Buy"}, sell = {type = "button", text = "Sell"}, steer = {type = "button"},
        open = {type = "button", text = "Open market"}, close = {type = "button", text = "Close"},
    }
    for i = 1, ROWS do e["row" .. i] = {type = "text"} end
    return e
end

-- Brings every element of the panel in step with the script's state. `e`
-- holds the element tables by name; each keeps the fields it came with.
local function refresh(e)
    local planet = landedPlanet()
    local layout = planet >= 0 and MARKET_LAYOUT or NOTICE_LAYOUT
    for name, t in pairs(e) do
        local r = layout[name] or OFF_SCREEN
        t.x1, t.y1, t.x2, t.y2 = r[1], r[2], r[3], r[4]
    end
    e.buy.state, e.sell.state, e.open.state, e.close.state = 0, 0, 0, 0
    e.steer.state = steering and 0 or 1
    e.steer.text = steering and "Steering on" or "Steering off"
    e.notice.text = "The ship is not landed"
    e.hint.text = "Land on a planet to trade"
    if planet < 0 then return end

    e.title.text = "Market of " .. (getDecodedPlanetName(planet) or "?")
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
    e.cargo.text = holdText()
    e.status.text = status
end

-- The game adds elements in the reverse of the order they are returned, and
-- draws them in the order added: the frame goes last so it is drawn first.
local DRAW_LAST_FIRST = {"close", "open", "status", "cargo", "steer", "sell", "buy", "cost", "level", "quantity",
                         "chosen", "picker", "notice", "hint", "credits", "title"}

function addUI(eventType, ...)
    if isOpen then return PANEL end   -- a lone value builds nothing: the panel is already up
    isOpen = true
    local e = panelElements()
    loadStock(landedPlanet())
    quantity, status = 1, "Welcome"
    refresh(e)
    local out = {}
    for _, name in ipairs(DRAW_LAST_FIRST) do
        e[name].name = name
        out[#out + 1] = e[name]
    end
    for i = 1, ROWS do
        e["row" .. i].name = "row" .. i
        out[#out + 1] = e["row" .. i]
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

    if e.close and e.close.modified then
        isOpen = false
        if not steering then steering = true; enablePlayerInput() end
        local gone = {}
        for name in pairs(e) do gone[#gone + 1] = {name = name, delete = 1} end
        return unpack(gone)
    end
    for _, name in ipairs(DRAW_LAST_FIRST) do
        if not e[name] then return end   -- not a panel this script built
    end

    -- The stock is read afresh before any trade: the ship may have flown to
    -- another planet while the panel was open. A click made on another planet's
    -- list trades nothing; the new list is shown instead.
    local planet = landedPlanet()
    local arrived = planet ~= stockPlanet
    loadStock(planet)
    if arrived then
        status = planet >= 0 and "Welcome" or status
    else
        if e.picker.modified then
            selected = #stock - clamp(round(e.picker.curVal), 0, math.max(0, #stock - 1))
        end
        if e.quantity.modified then quantity = clamp(round(e.quantity.curVal), 1, MAX_QUANTITY) end
        if e.buy.modified then trade(1) end
        if e.sell.modified then trade(-1) end
    end
    if e.steer.modified then
        steering = e.steer.state ~= 1
        if steering then enablePlayerInput() else disablePlayerInput() end
    end
    refresh(e)
    return ...
end
