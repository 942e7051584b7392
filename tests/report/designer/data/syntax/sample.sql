-- Orders of one customer
SELECT o.ID, o."Name", COUNT(*) AS Lines
  FROM Orders o /* all of them,
  even closed */ WHERE o.Total > 0x1F AND o.Kind = "A"
  GROUP BY o.ID, o."Name"
