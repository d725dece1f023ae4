#include "report/page_assets.h"

namespace ot::report {

const std::string_view kPageStyle = R"css(
body{font:14px/1.45 system-ui,-apple-system,"Segoe UI",Roboto,"DejaVu Sans",sans-serif;color:#1d2327;margin:0 auto;padding:0 24px 48px;max-width:1240px;background:#fff}
h1{font-size:22px;margin:20px 0 2px}
h2{font-size:18px;margin:28px 0 8px;border-bottom:1px solid #d0d7de;padding-bottom:4px}
.sub{color:#57606a;margin:0}
dl.facts{display:grid;grid-template-columns:max-content auto;gap:2px 16px;margin:8px 0}
dl.facts dt{color:#57606a}
dl.facts dd{margin:0}
ul.warnings{margin:4px 0;padding-left:20px;font-family:ui-monospace,"DejaVu Sans Mono",monospace;font-size:12.5px;color:#8a3b00}
.none{color:#57606a}
.scroll{overflow-x:auto;max-width:100%}
svg text{font-size:11px;fill:#1d2327}
svg text.site{text-anchor:end}
svg text.axis{fill:#57606a;font-size:10px;text-anchor:middle}
svg text.month{text-anchor:start}
svg text.total-head{text-anchor:start;font-weight:600}
svg.heat text.site,svg.heat text.total{dominant-baseline:auto}
svg .tick{stroke:#d0d7de;stroke-width:1}
svg .tick.minor{stroke:#8c959f}
svg rect.period{fill:#9ccfb0}
svg image{image-rendering:pixelated}
.overlay{pointer-events:none}
rect.frame{fill:none;stroke:#8c959f;stroke-width:1}
ul.legend{list-style:none;padding:0;margin:6px 0 8px;display:flex;flex-wrap:wrap;gap:4px 14px;font-size:12.5px}
.swatch{display:inline-block;width:14px;height:12px;margin-right:5px;vertical-align:-1px;border:1px solid #8c959f}
.swatch.period{background:#9ccfb0}
.swatch.na{background-image:repeating-linear-gradient(45deg,#6f6f6f 0 1.5px,transparent 1.5px 4.2px)}
figure.heatmap{margin:14px 0 22px;content-visibility:auto}
figure.heatmap figcaption{margin-bottom:2px}
table.figures{border-collapse:collapse;font-variant-numeric:tabular-nums}
table.figures th,table.figures td{padding:3px 10px;border-bottom:1px solid #d8dee4}
table.figures th{text-align:left;background:#f6f8fa;vertical-align:bottom}
table.figures td.n{text-align:right}
p.empty{color:#8a3b00}
#tip{position:absolute;z-index:2;background:#1d2327;color:#fff;padding:5px 8px;border-radius:4px;font-size:12.5px;white-space:pre;pointer-events:none}
)css";

// Shows location, occasion dates, count and effort of the heat-map cell
// under the pointer; the counts and effort come from the rows' data
// attributes (runs written "value*length").
const std::string_view kPageScript = R"js(
(function () {
  var tip = document.getElementById('tip');
  var occasions = document.getElementById('report').dataset.occasions.split(';');
  var chartRows = document.querySelectorAll('.chart-row');
  var cache = new WeakMap();
  function values(element, name) {
    var lists = cache.get(element) || {};
    cache.set(element, lists);
    if (!lists[name]) {
      var out = [], text = element.dataset[name];
      (text ? text.split(' ') : []).forEach(function (item) {
        var star = item.indexOf('*');
        if (star < 0) { out.push(item); return; }
        for (var n = +item.slice(star + 1); n > 0; n--) out.push(item.slice(0, star));
      });
      lists[name] = out;
    }
    return lists[name];
  }
  document.addEventListener('mousemove', function (event) {
    var cells = event.target;
    if (!cells.classList || !cells.classList.contains('cells')) { tip.hidden = true; return; }
    var figure = cells.closest('figure');
    var rows = figure.querySelectorAll('.hm-row');
    var box = cells.getBoundingClientRect();
    var k = Math.floor((event.clientX - box.left) / box.width * occasions.length);
    var i = Math.floor((event.clientY - box.top) / box.height * rows.length);
    if (k < 0 || i < 0 || k >= occasions.length || i >= rows.length) { tip.hidden = true; return; }
    var occasion = occasions[k].split(' ');
    tip.textContent = (figure.dataset.species || '(blank name)') + ' at ' + rows[i].dataset.location +
      '\nOccasion ' + (k + 1) + ': ' + occasion[0] + ' to ' + occasion[1] +
      '\nCount ' + values(rows[i], 'counts')[k] + ', effort ' + values(chartRows[i], 'effort')[k] +
      ' of ' + occasion[2] + ' days';
    tip.style.left = (event.pageX + 14) + 'px';
    tip.style.top = (event.pageY + 14) + 'px';
    tip.hidden = false;
  });
})();
)js";

}  // namespace ot::report
