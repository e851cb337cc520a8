-- Escapes and traps in one script: all must fail, be stopped or be read raw.
local calls = 0
setmetatable(_G, {__index = function(_, k) error("strict: " .. tostring(k)) end})
function addUI(kind, ...)
    pcall(function() os.execute("true") end)
    pcall(function() return loadstring(string.dump(function() end)) end)
    local deep = {type = "box"}
    for i = 1, 50 do deep = {type = "text", text = deep, name = deep} end
    local trap = setmetatable({type = "button", name = "b", x2 = 10, y2 = 10},
                              {__index = function() error("read through __index") end})
    return trap, deep, {type = "slider", name = "s", x2 = 20, y2 = 2, arrowWidth = 1, rightVal = 9}, "p"
end
function updateUI(panel, ...)
    calls = calls + 1
    if calls == 2 then
        local co = coroutine.wrap(function() while true do coroutine.yield() end end)
        for i = 1, 1000 do co() end
        return {name = "s", delete = 1}
    end
    if calls == 3 then local t = {} for i = 1, 100 do t[i] = string.rep("x", 1000 + i) end end
    return ...
end
